// The dimension, login and character dialogs.
#include "GoldenRows.h"
#include "MainFormTestSupport.h"

#include "app/dialogs/CharSelForm.h"
#include "app/dialogs/LoginForm.h"
#include "app/dialogs/ServerForm.h"
#include "app/dialogs/ServersForm.h"
#include "console/QvNumEdits.h"
#include "engine/DimensionList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTreeWidget>

namespace {

void Fill(TServerForm& form, const QString& name, const QString& host, int64_t port) {
    form.NameEdit->setText(name);
    form.HostEdit->setText(host);
    form.PortEdit->SetValue(port);
}

QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items.append(combo->itemText(i));
    }
    return items;
}

QStringList Rows(const TServersForm& form) {
    QStringList captions;
    for (int i = 0; i < form.ServerListview->topLevelItemCount(); ++i) {
        captions.append(form.ServerListview->topLevelItem(i)->text(0));
    }
    return captions;
}

QString Selected(const TServersForm& form) {
    const auto rows = form.ServerListview->selectedItems();
    return rows.isEmpty() ? QString() : rows.first()->text(0);
}

void SelectRow(TServersForm& form, const QString& caption) {
    const auto rows = form.ServerListview->findItems(caption, Qt::MatchExactly);
    ASSERT_EQ(rows.size(), 1) << caption.toStdString();
    form.ServerListview->setCurrentItem(rows.first());
}

// The built-in dimensions marked built in, and user dimensions.
void AddUserDimensions(TDimensionList& list, std::initializer_list<const char*> names) {
    for (qsizetype i = 0; i < list.Count(); ++i) {
        list.Items(i)->SetTag(1);
    }
    for (const char* name : names) {
        list.Add(QString::fromLatin1(name), QString(), 7100,
                 QString::fromLatin1(name) + ".example");
    }
}

TEST(ServerFormTest, OkRefusesEachMissingOrTakenValueInOrder) {
    TDimensionList list(nullptr);
    for (const auto& row : GoldenRows("dialogs/server-form.txt", 6)) {
        SCOPED_TRACE((row[0] + " " + row[2]).constData());
        const int editing = row[3].toInt();
        BoxRecorder boxes;
        TServerForm form;
        form.show();
        form.SetDuplicateCheck(&list, editing < 0 ? nullptr : list.Items(editing).get());
        Fill(form, QString::fromLatin1(row[0]), QString::fromLatin1(row[1]), row[2].toLongLong());
        form.OkButtonClick();
        if (row[4].isEmpty()) {
            EXPECT_TRUE(boxes.Boxes.empty());
            EXPECT_EQ(form.result(), QDialog::Accepted);
            continue;
        }
        EXPECT_EQ(BoxTexts(boxes.Boxes), QStringList{"Information: " + row[4]});
        QWidget* fields[] = {form.NameEdit, form.HostEdit, form.PortEdit};
        EXPECT_EQ(form.focusWidget(), fields[row[5].toInt()]);
        EXPECT_NE(form.result(), QDialog::Accepted);
    }
    // Longer numbers cannot be typed.
    TServerForm form;
    form.PortEdit->clear();
    for (const QChar c : QStringLiteral("70000")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(form.PortEdit, &press);
    }
    EXPECT_EQ(form.PortEdit->text(), QStringLiteral("7000"));
}

TEST(ServerFormTest, NewDimensionStartsWithDefaultsAndKeepsValuesUntrimmed) {
    ModalScript script;
    script.Then<TServerForm>([](TServerForm& form) {
        EXPECT_EQ(form.NameEdit->text(), QStringLiteral("New Dimension"));
        EXPECT_EQ(form.PortEdit->Value(), 7012);
        Fill(form, QStringLiteral(" Foo "), QStringLiteral("foo.example "), 1);
        form.DescMemo->setPlainText(QStringLiteral("two\nlines"));
        form.OkButtonClick();
    });
    const auto entry = NewDimension(nullptr, nullptr);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Name() + u'|' + entry->Description() + u'|' + entry->Host(),
              QStringLiteral(" Foo |two\nlines|foo.example "));
    EXPECT_EQ(entry->Port(), 1);
    EXPECT_EQ(entry->Tag(), 0);
    script.Then<TServerForm>([](TServerForm& form) { form.CancelButton->click(); });
    EXPECT_EQ(NewDimension(nullptr, nullptr), nullptr);
}

TEST(ServersFormTest, BuiltInDimensionsCanOnlyBeLookedAt) {
    TDimensionList main(nullptr);
    AddUserDimensions(main, {"Mine"});
    const QString vassaHost = main.Items(1)->Host();
    BoxRecorder boxes;
    ModalScript script;
    script.Then<TServersForm>([](TServersForm& list) {
        SelectRow(list, QStringLiteral("Vassa"));
        EXPECT_TRUE(list.ChangeButton->isEnabled());
        EXPECT_FALSE(list.RemoveButton->isEnabled());
        SelectRow(list, QStringLiteral("Mine"));
        EXPECT_TRUE(list.RemoveButton->isEnabled());
        SelectRow(list, QStringLiteral("Vassa"));
        list.ChangeButtonClick();
        list.OkButton->click();
    });
    script.Then<TServerForm>([](TServerForm& details) {
        EXPECT_EQ(details.TitleLabel->text(), QStringLiteral("Built-In Vellinor Dimension"));
        for (QWidget* field :
             std::initializer_list<QWidget*>{details.NameEdit, details.DescMemo, details.HostEdit,
                                             details.PortEdit, details.OkButton}) {
            EXPECT_FALSE(field->isEnabled()) << field->metaObject()->className();
        }
        // Even a dialog closed as accepted changes nothing.
        details.HostEdit->setText(QStringLiteral("evil.example"));
        details.accept();
    });
    ASSERT_TRUE(EditDimensions(nullptr, main));
    EXPECT_EQ(main.Items(1)->Host(), vassaHost);
    EXPECT_EQ(main.Items(1)->Tag(), 1);
}

TEST(ServersFormTest, RemoveAsksAndEveryButtonNeedsASelection) {
    BoxRecorder boxes;
    TServersForm form;
    AddUserDimensions(form.DimensionList(), {"Mine"});
    form.RefreshList();
    SelectRow(form, QStringLiteral("Mine"));
    boxes.ConfirmAnswer = plat::MsgResult::No;
    form.RemoveButtonClick();
    EXPECT_EQ(BoxTexts(boxes.Boxes),
              QStringList{"Confirmation: Are you sure you want to remove the 'Mine' Dimension?"});
    EXPECT_TRUE(Rows(form).contains(QStringLiteral("Mine")));

    boxes.ConfirmAnswer = plat::MsgResult::Yes;
    form.RemoveButtonClick();
    EXPECT_EQ(form.DimensionList().IndexOfName(QStringLiteral("Mine")), -1);
    EXPECT_FALSE(Rows(form).contains(QStringLiteral("Mine")));
    EXPECT_EQ(Selected(form), QString());
    EXPECT_FALSE(form.ChangeButton->isEnabled());
    boxes.Boxes.clear();
    form.RemoveButtonClick();
    form.ChangeButtonClick();
    EXPECT_EQ(BoxTexts(boxes.Boxes),
              QStringList({"Error: Please select a Dimension configuration to remove.",
                           "Error: Please select a Dimension configuration to change."}));
}

TEST(ServersFormTest, RowsAreFoundByTheirWholeName) {
    TServersForm form;
    AddUserDimensions(form.DimensionList(), {"Testing", "Mine"});
    form.RefreshList();
    EXPECT_EQ(Selected(form), QStringLiteral("Ostrelian"));
    BoxRecorder boxes;
    ModalScript script;
    script.Then<TServerForm>([](TServerForm& details) {
        Fill(details, QStringLiteral("Test"), QStringLiteral("h"), 7012);
        details.OkButtonClick();
    });
    form.AddButtonClick();
    EXPECT_EQ(Rows(form).count(QStringLiteral("Testing")), 1);
    EXPECT_EQ(Selected(form), QStringLiteral("Test"));
    form.RefreshList(); // the selection stays on the shorter name
    EXPECT_EQ(Selected(form), QStringLiteral("Test"));
    form.RemoveButtonClick();
    EXPECT_EQ(form.DimensionList().IndexOfName(QStringLiteral("Testing")), 4);

    // A change keeps the row selected under its new name; a taken name is refused.
    SelectRow(form, QStringLiteral("Mine"));
    script.Then<TServerForm>([](TServerForm& details) {
        EXPECT_EQ(details.TitleLabel->text(), QStringLiteral("Edit Vellinor Dimension"));
        details.NameEdit->setText(QStringLiteral("kelmarch"));
        details.OkButtonClick(); // refused: stays open
        details.NameEdit->setText(QStringLiteral("Mine2"));
        details.OkButtonClick();
    });
    form.ServerListviewDblClick();
    EXPECT_EQ(boxes.Boxes.back().Text,
              QStringLiteral("A Dimension named 'kelmarch' already exists."));
    EXPECT_EQ(Selected(form), QStringLiteral("Mine2"));
    form.DimensionList().Delete(form.DimensionList().IndexOfName(QStringLiteral("Mine2")));
    form.RefreshList();
    EXPECT_EQ(Selected(form), QStringLiteral("Ostrelian"));
}

// Built-ins, "Mine" and "Gone"; the session renames "Mine" to "Mine2" (port
// 7101), removes "Gone", adds "Extra" and closes with OK or Cancel.
class EditDimensionsTest : public ::testing::TestWithParam<bool> {};

TEST_P(EditDimensionsTest, OkUpdatesEntriesInPlaceAndCancelLeavesThem) {
    const bool ok = GetParam();
    TDimensionList main(nullptr);
    AddUserDimensions(main, {"Mine", "Gone"});
    // What a connected engine and an open options page would hold.
    std::vector<std::shared_ptr<TDimensionInfo>> before;
    for (qsizetype i = 0; i < main.Count(); ++i) {
        before.push_back(main.Items(i));
    }
    BoxRecorder boxes;
    ModalScript script;
    script.Then<TServersForm>([ok](TServersForm& list) {
        SelectRow(list, QStringLiteral("Mine"));
        list.ChangeButtonClick();
        SelectRow(list, QStringLiteral("Gone"));
        list.RemoveButtonClick();
        list.AddButtonClick();
        (ok ? list.OkButton : list.CancelButton)->click();
    });
    for (const auto& entry : {std::pair{"Mine2", 7101}, {"Extra", 1}}) {
        script.Then<TServerForm>([entry](TServerForm& details) {
            Fill(details, QLatin1String(entry.first), QStringLiteral("x"), entry.second);
            details.OkButtonClick();
        });
    }
    EXPECT_EQ(EditDimensions(nullptr, main), ok);
    ASSERT_EQ(main.Count(), 6);
    for (qsizetype i = 0; i < (ok ? 5 : 6); ++i) {
        EXPECT_EQ(main.Items(i), before[size_t(i)]) << i;
    }
    EXPECT_EQ(main.Items(4)->Name(), ok ? QStringLiteral("Mine2") : QStringLiteral("Mine"));
    EXPECT_EQ(main.Items(4)->Port(), ok ? 7101 : 7100);
    EXPECT_EQ(main.Items(5)->Name(), ok ? QStringLiteral("Extra") : QStringLiteral("Gone"));
    EXPECT_EQ(main.Items(5)->Tag(), 0);
    EXPECT_EQ(before[5]->Host(), QStringLiteral("Gone.example")); // a removed entry stays whole
}

INSTANTIATE_TEST_SUITE_P(OkAndCancel, EditDimensionsTest, ::testing::Bool());

class LoginFormTest : public ::testing::Test {
protected:
    LoginFormTest() {
        logins.SetLoginPassword(QStringLiteral("bob"), QStringLiteral("pw"));
        logins.SetLoginPassword(QStringLiteral("Alice"), QString());
    }
    TDimensionList dimensions{nullptr};
    TLogins logins;
};

// The introduction shows all its lines and takes no more room than they need.
TEST_F(LoginFormTest, IntroductionIsAsTallAsItsLines) {
    TLoginForm form(dimensions, logins, QString(), QString());
    form.show();
    const QFontMetrics metrics = form.Memo1->fontMetrics();
    const int lines = form.Memo1->document()->blockCount();
    ASSERT_EQ(lines, 5);
    const int needed = lines * metrics.lineSpacing();
    EXPECT_GE(form.Memo1->viewport()->height(), needed);
    EXPECT_LE(form.Memo1->height(), needed + 3 * metrics.lineSpacing());
}

TEST_F(LoginFormTest, StartsWithTheLastUserAndRemembersPasswordsByUser) {
    TLoginForm form(dimensions, logins, QStringLiteral("BOB"), QStringLiteral("vassa"));
    EXPECT_EQ(Items(form.UserCombobox), (QStringList{"Alice", "bob"}));
    EXPECT_EQ(form.UserName(), QStringLiteral("BOB"));
    EXPECT_EQ(form.Password(), QStringLiteral("pw"));
    EXPECT_TRUE(form.SavePassword());
    EXPECT_EQ(form.PasswordEdit->displayText(), QStringLiteral("**"));
    EXPECT_EQ(form.Dimension(), dimensions.Items(1));
    form.FormActivate();
    EXPECT_EQ(form.focusWidget(), form.PasswordEdit);
    for (const auto& [user, password] :
         {std::pair{"Alice", ""}, {"carol", ""}, {"BoB", "pw"}, {"alice", ""}}) {
        form.UserCombobox->setEditText(QLatin1String(user));
        EXPECT_EQ(form.Password(), QLatin1String(password)) << user;
        EXPECT_EQ(form.SavePassword(), *password != 0) << user;
    }

    TLoginForm fresh(dimensions, logins, QString(), QStringLiteral("Gone"));
    EXPECT_TRUE(fresh.UserName().isEmpty());
    EXPECT_EQ(fresh.Dimension(), dimensions.Items(0));
    fresh.FormActivate();
    EXPECT_NE(fresh.focusWidget(), fresh.PasswordEdit);
}

TEST_F(LoginFormTest, EmptyUserNameOrPasswordIsRefusedBeforeConnecting) {
    TLoginForm form(dimensions, logins, QString(), QStringLiteral("Vassa"));
    form.show();
    BoxRecorder boxes;
    form.Button2->click();
    form.UserCombobox->setEditText(QStringLiteral("carol"));
    const QWidget* first = form.focusWidget();
    form.Button2->click();
    ASSERT_EQ(boxes.Boxes.size(), 2u);
    EXPECT_EQ(boxes.Boxes[0].Text, QStringLiteral("Need a username!"));
    EXPECT_EQ(first, form.UserCombobox);
    EXPECT_EQ(boxes.Boxes[1].Text, QStringLiteral("No password!"));
    EXPECT_EQ(form.focusWidget(), form.PasswordEdit);
    EXPECT_NE(form.result(), QDialog::Accepted);
    form.PasswordEdit->setText(QStringLiteral("pw"));
    form.Button2->click();
    EXPECT_EQ(boxes.Boxes.size(), 2u);
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(LoginFormTest, DimensionsManagedFromTheDialogKeepTheChoiceWhenTheyCan) {
    dimensions.Add(QStringLiteral("Mine"), QString(), 7100, QStringLiteral("m"));
    TLoginForm form(dimensions, logins, QString(), QStringLiteral("kelmarch"));
    BoxRecorder boxes;
    ModalScript script;
    script.Then<TServersForm>([](TServersForm& list) {
        list.AddButtonClick();
        list.OkButton->click();
    });
    script.Then<TServerForm>([](TServerForm& details) {
        Fill(details, QStringLiteral("Extra"), QStringLiteral("x"), 7012);
        details.OkButtonClick();
    });
    form.ManageDimensions();
    EXPECT_EQ(Items(form.DimensionCombobox).last(), QStringLiteral("Extra"));
    EXPECT_EQ(form.Dimension(), dimensions.Items(2));

    form.DimensionCombobox->setCurrentIndex(form.DimensionCombobox->findText("Mine"));
    script.Then<TServersForm>([](TServersForm& list) {
        SelectRow(list, QStringLiteral("Mine"));
        list.RemoveButtonClick();
        list.OkButton->click();
    });
    form.ManageDimensions();
    EXPECT_FALSE(Items(form.DimensionCombobox).contains(QStringLiteral("Mine")));
    EXPECT_EQ(form.Dimension(), dimensions.Items(0));

    // No dimension at all: OK waits for a new one, which is chosen.
    dimensions.Clear();
    TLoginForm empty(dimensions, logins, QString(), QStringLiteral("Ostrelian"));
    EXPECT_FALSE(empty.Button2->isEnabled());
    script.Then<TServerForm>([](TServerForm& details) { details.CancelButton->click(); });
    empty.SpeedButton1Click();
    EXPECT_FALSE(empty.Button2->isEnabled());
    script.Then<TServerForm>([](TServerForm& details) {
        details.HostEdit->setText(QStringLiteral("localhost"));
        details.OkButtonClick();
    });
    empty.SpeedButton1Click();
    EXPECT_EQ(empty.Dimension(), dimensions.Items(0));
    EXPECT_EQ(empty.DimensionCombobox->currentText(), QStringLiteral("New Dimension"));
    EXPECT_TRUE(empty.Button2->isEnabled());
}

TEST(CharSelFormTest, PreselectsTheLastCharacterAndAcceptsOnlyAListedName) {
    BoxRecorder boxes;
    TCharSelForm form;
    form.show();
    const QStringList names{"bob", "Alice", "carol"};
    form.SetCharacters(names, QStringLiteral("CAROL"));
    EXPECT_EQ(Items(form.CharacterCombobox), (QStringList{"Alice", "bob", "carol"}));
    EXPECT_EQ(form.Character(), QStringLiteral("carol"));
    form.SetCharacters({}, QStringLiteral("Zed"));
    EXPECT_TRUE(form.Character().isEmpty());
    form.SetCharacters(names, QStringLiteral("Zed"));
    EXPECT_EQ(form.Character(), QStringLiteral("Alice"));

    form.CharacterCombobox->setEditText(QStringLiteral("Alicia"));
    form.Button2->click();
    EXPECT_EQ(BoxTexts(boxes.Boxes),
              QStringList{"Error: The character Alicia is not available for your account."});
    EXPECT_NE(form.result(), QDialog::Accepted);
    form.CharacterCombobox->setEditText(QStringLiteral("alice"));
    form.Button2->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Character(), QStringLiteral("alice"));

    TCharSelForm other;
    other.show();
    other.Button1->click();
    EXPECT_EQ(other.result(), QDialog::Rejected);
    EXPECT_FALSE(other.isVisible());
    EXPECT_EQ(boxes.Boxes.size(), 1u);
}

} // namespace
