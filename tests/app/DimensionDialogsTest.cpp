#include "DialogTestSupport.h"

#include "app/dialogs/ServerForm.h"
#include "app/dialogs/ServersForm.h"
#include "console/QvNumEdits.h"
#include "engine/DimensionList.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

struct Fields {
    QString Name;
    QString Host;
    int64_t Port;
};

void Fill(TServerForm& form, const Fields& fields) {
    form.NameEdit->setText(fields.Name);
    form.HostEdit->setText(fields.Host);
    form.PortEdit->SetValue(fields.Port);
}

void TypeInto(QWidget& widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(&widget, &press);
    }
}

QStringList RowCaptions(const TServersForm& form) {
    QStringList captions;
    for (int i = 0; i < form.ServerListview->topLevelItemCount(); ++i) {
        captions.append(form.ServerListview->topLevelItem(i)->text(0));
    }
    return captions;
}

QTreeWidgetItem* Selected(const TServersForm& form) {
    const auto rows = form.ServerListview->selectedItems();
    return rows.isEmpty() ? nullptr : rows.first();
}

void SelectRow(TServersForm& form, const QString& caption) {
    const auto rows = form.ServerListview->findItems(caption, Qt::MatchExactly);
    ASSERT_EQ(rows.size(), 1) << caption.toStdString();
    form.ServerListview->setCurrentItem(rows.first());
}

// The four built-in dimensions marked built in, and one user dimension "Mine".
void MarkBuiltInAndAddMine(TDimensionList& list) {
    for (qsizetype i = 0; i < list.Count(); ++i) {
        list.Items(i)->SetTag(1);
    }
    list.Add(QStringLiteral("Mine"), QStringLiteral("my own"), 7100,
             QStringLiteral("mine.example"));
}

} // namespace

TEST(ServerFormTest, OkRefusesEachMissingValueInOrderAndFocusesItsField) {
    struct Case {
        Fields Input;
        QString Message;
        int Field; // 0 name, 1 host, 2 port
    };
    const QString name = QStringLiteral("You must specify a name for the Dimension.");
    const QString host = QStringLiteral("You must specify a host for the Dimension.");
    const QString port = QStringLiteral("You must specify a port for the Dimension.");
    const Case cases[] = {
        {{QStringLiteral("  \t "), QStringLiteral("h"), 7012}, name, 0},
        {{QString(), QString(), 0}, name, 0}, // the name is checked first
        {{QStringLiteral("A"), QStringLiteral(" \r\n"), 7012}, host, 1},
        {{QStringLiteral("A"), QStringLiteral("h"), 0}, port, 2},
        {{QStringLiteral("A"), QStringLiteral("h"), -5}, port, 2},
        {{QStringLiteral("A"), QStringLiteral("h"), 65536}, port, 2},
        {{QStringLiteral("A"), QStringLiteral("h"), 70000}, port, 2},
        {{QStringLiteral("A"), QStringLiteral("h"), 4294967297}, port, 2}, // 1 in the low bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Message.toStdString() + " for port " + std::to_string(c.Input.Port));
        BoxRecorder boxes;
        TServerForm form;
        form.show();
        Fill(form, c.Input);
        form.OkButtonClick();
        ASSERT_EQ(boxes.Boxes.size(), 1u);
        EXPECT_EQ(boxes.Boxes[0].Kind, plat::MsgKind::Information);
        EXPECT_EQ(boxes.Boxes[0].Text, c.Message);
        QWidget* fields[] = {form.NameEdit, form.HostEdit, form.PortEdit};
        EXPECT_EQ(form.focusWidget(), fields[c.Field]);
        EXPECT_TRUE(form.isVisible());
        EXPECT_NE(form.result(), QDialog::Accepted);
    }
}

TEST(ServerFormTest, PortRangeEndsAreAcceptedAndLongerNumbersCannotBeTyped) {
    for (const int64_t port : {int64_t{1}, int64_t{65535}}) {
        BoxRecorder boxes;
        TServerForm form;
        form.show();
        Fill(form, {QStringLiteral("A"), QStringLiteral("h"), port});
        form.OkButtonClick();
        EXPECT_TRUE(boxes.Boxes.empty());
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    TServerForm form;
    form.PortEdit->clear();
    TypeInto(*form.PortEdit, QStringLiteral("70000"));
    EXPECT_EQ(form.PortEdit->text(), QStringLiteral("7000"));
}

TEST(ServerFormTest, NameOfAnotherDimensionIsRefusedIgnoringCase) {
    TDimensionList list(nullptr);
    const auto vassa = list.Items(1);
    {
        BoxRecorder boxes;
        TServerForm form;
        form.show();
        form.SetDuplicateCheck(&list, nullptr);
        Fill(form, {QStringLiteral("VASSA"), QStringLiteral("h"), 7012});
        form.OkButtonClick();
        ASSERT_EQ(boxes.Boxes.size(), 1u);
        EXPECT_EQ(boxes.Boxes[0].Text, QStringLiteral("A Dimension named 'VASSA' already exists."));
        EXPECT_EQ(form.focusWidget(), form.NameEdit);
        EXPECT_NE(form.result(), QDialog::Accepted);
    }
    // The entry being edited may keep its own name, in any case.
    BoxRecorder boxes;
    TServerForm form;
    form.SetDuplicateCheck(&list, vassa.get());
    Fill(form, {QStringLiteral("vassa"), QStringLiteral("h"), 7012});
    form.OkButtonClick();
    EXPECT_TRUE(boxes.Boxes.empty());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST(ServerFormTest, NewDimensionStartsWithDefaultsAndKeepsValuesUntrimmed) {
    ModalScript script;
    script.Then<TServerForm>([](TServerForm& form) {
        EXPECT_EQ(form.NameEdit->text(), QStringLiteral("New Dimension"));
        EXPECT_EQ(form.PortEdit->Value(), 7012);
        EXPECT_TRUE(form.HostEdit->text().isEmpty());
        form.NameEdit->setText(QStringLiteral(" Foo "));
        form.DescMemo->setPlainText(QStringLiteral("two\nlines"));
        form.HostEdit->setText(QStringLiteral("foo.example "));
        form.PortEdit->SetValue(1);
        form.OkButtonClick();
    });
    const auto entry = NewDimension(nullptr, nullptr);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Name(), QStringLiteral(" Foo "));
    EXPECT_EQ(entry->Description(), QStringLiteral("two\nlines"));
    EXPECT_EQ(entry->Host(), QStringLiteral("foo.example "));
    EXPECT_EQ(entry->Port(), 1);
    EXPECT_EQ(entry->Tag(), 0);

    script.Then<TServerForm>([](TServerForm& form) { form.CancelButton->click(); });
    EXPECT_EQ(NewDimension(nullptr, nullptr), nullptr);
}

TEST(ServersFormTest, BuiltInDimensionsCanOnlyBeLookedAt) {
    TDimensionList main(nullptr);
    MarkBuiltInAndAddMine(main);
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
        EXPECT_EQ(details.NameEdit->text(), QStringLiteral("Vassa"));
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
    EXPECT_TRUE(boxes.Boxes.empty());
}

TEST(ServersFormTest, RemoveAsksAndNeedsASelection) {
    BoxRecorder boxes;
    TServersForm form;
    form.DimensionList().Add(QStringLiteral("Mine"), QString(), 7100, QStringLiteral("m"));
    form.RefreshList();
    SelectRow(form, QStringLiteral("Mine"));

    boxes.Yes = false;
    form.RemoveButtonClick();
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Kind, plat::MsgKind::Confirmation);
    EXPECT_EQ(boxes.Boxes[0].Text,
              QStringLiteral("Are you sure you want to remove the 'Mine' Dimension?"));
    EXPECT_EQ(form.DimensionList().IndexOfName(QStringLiteral("Mine")), 4);

    boxes.Yes = true;
    form.RemoveButtonClick();
    EXPECT_EQ(form.DimensionList().IndexOfName(QStringLiteral("Mine")), -1);
    EXPECT_FALSE(RowCaptions(form).contains(QStringLiteral("Mine")));
    EXPECT_EQ(Selected(form), nullptr);
    EXPECT_FALSE(form.ChangeButton->isEnabled());
    EXPECT_FALSE(form.RemoveButton->isEnabled());

    boxes.Boxes.clear();
    form.RemoveButtonClick();
    form.ChangeButtonClick();
    ASSERT_EQ(boxes.Boxes.size(), 2u);
    EXPECT_EQ(boxes.Boxes[0].Kind, plat::MsgKind::Error);
    EXPECT_EQ(boxes.Boxes[0].Text,
              QStringLiteral("Please select a Dimension configuration to remove."));
    EXPECT_EQ(boxes.Boxes[1].Text,
              QStringLiteral("Please select a Dimension configuration to change."));
    EXPECT_EQ(form.DimensionList().Count(), 4);
}

TEST(ServersFormTest, AddedDimensionGetsItsOwnRowEvenWhenANameBeginsWithIt) {
    TServersForm form;
    const auto testing =
        form.DimensionList().Add(QStringLiteral("Testing"), QString(), 7012, QStringLiteral("t"));
    form.RefreshList();
    ModalScript script;
    script.Then<TServerForm>([](TServerForm& details) {
        Fill(details, {QStringLiteral("Test"), QStringLiteral("h"), 7012});
        details.OkButtonClick();
    });
    form.AddButtonClick();
    EXPECT_EQ(RowCaptions(form).count(QStringLiteral("Testing")), 1);
    ASSERT_NE(Selected(form), nullptr);
    EXPECT_EQ(Selected(form)->text(0), QStringLiteral("Test"));
    const auto added = TServersForm::RowDimension(Selected(form));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Name(), QStringLiteral("Test"));
    EXPECT_EQ(form.DimensionList().IndexOf(added.get()), form.DimensionList().Count() - 1);

    BoxRecorder boxes;
    form.RemoveButtonClick();
    EXPECT_EQ(form.DimensionList().IndexOf(testing.get()), 4);
    EXPECT_EQ(form.DimensionList().IndexOf(added.get()), -1);
    EXPECT_EQ(RowCaptions(form).count(QStringLiteral("Testing")), 1);
}

TEST(ServersFormTest, ChangeEditsTheSelectedEntryAndRefusesAnotherEntrysName) {
    TServersForm form;
    const auto mine =
        form.DimensionList().Add(QStringLiteral("Mine"), QString(), 7100, QStringLiteral("m"));
    form.RefreshList();
    SelectRow(form, QStringLiteral("Mine"));
    BoxRecorder boxes;
    ModalScript script;
    script.Then<TServerForm>([](TServerForm& details) {
        EXPECT_EQ(details.TitleLabel->text(), QStringLiteral("Edit Vellinor Dimension"));
        details.NameEdit->setText(QStringLiteral("kelmarch"));
        details.OkButtonClick(); // refused: stays open
        details.NameEdit->setText(QStringLiteral("Mine2"));
        details.PortEdit->SetValue(7200);
        details.OkButtonClick();
    });
    form.ServerListviewDblClick();
    EXPECT_EQ(script.Ran, 1);
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Text, QStringLiteral("A Dimension named 'kelmarch' already exists."));
    EXPECT_EQ(mine->Name(), QStringLiteral("Mine2"));
    EXPECT_EQ(mine->Port(), 7200);
    EXPECT_EQ(Selected(form)->text(0), QStringLiteral("Mine2"));
}

TEST(ServersFormTest, RefreshKeepsTheSelectedNameBeforeALongerOne) {
    TServersForm form;
    form.DimensionList().Add(QStringLiteral("Test"), QString(), 7012, QStringLiteral("t"));
    form.RefreshList();
    EXPECT_EQ(Selected(form)->text(0), QStringLiteral("Ostrelian"));
    SelectRow(form, QStringLiteral("Test"));
    form.RefreshList();
    EXPECT_EQ(Selected(form)->text(0), QStringLiteral("Test"));
    SelectRow(form, QStringLiteral("Kelmarch"));
    form.DimensionList().Delete(2);
    form.RefreshList();
    EXPECT_EQ(Selected(form)->text(0), QStringLiteral("Ostrelian"));
}

namespace {

// Built-ins, "Mine" and "Gone"; an editing session renames "Mine" to "Mine2"
// (port 7101), removes "Gone", adds "Extra" and closes with OK or Cancel.
void EditSession(TDimensionList& main, ModalScript& script, bool ok) {
    script.Then<TServersForm>([ok](TServersForm& list) {
        SelectRow(list, QStringLiteral("Mine"));
        list.ChangeButtonClick();
        SelectRow(list, QStringLiteral("Gone"));
        list.RemoveButtonClick();
        list.AddButtonClick();
        (ok ? list.OkButton : list.CancelButton)->click();
    });
    script.Then<TServerForm>([](TServerForm& details) {
        Fill(details, {QStringLiteral("Mine2"), QStringLiteral("mine.example"), 7101});
        details.OkButtonClick();
    });
    script.Then<TServerForm>([](TServerForm& details) {
        Fill(details, {QStringLiteral("Extra"), QStringLiteral("x"), 1});
        details.OkButtonClick();
    });
    EXPECT_EQ(EditDimensions(nullptr, main), ok);
}

} // namespace

TEST(EditDimensionsTest, CancelLeavesTheListAsItWas) {
    TDimensionList main(nullptr);
    MarkBuiltInAndAddMine(main);
    main.Add(QStringLiteral("Gone"), QString(), 7300, QStringLiteral("gone.example"));
    std::vector<std::shared_ptr<TDimensionInfo>> before;
    for (qsizetype i = 0; i < main.Count(); ++i) {
        before.push_back(main.Items(i));
    }
    BoxRecorder boxes;
    ModalScript script;
    EditSession(main, script, false);
    ASSERT_EQ(main.Count(), 6);
    for (qsizetype i = 0; i < main.Count(); ++i) {
        EXPECT_EQ(main.Items(i), before[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(main.Items(4)->Name(), QStringLiteral("Mine"));
    EXPECT_EQ(main.Items(4)->Port(), 7100);
}

TEST(EditDimensionsTest, OkUpdatesEntriesInPlaceSoHeldEntriesStayValid) {
    TDimensionList main(nullptr);
    MarkBuiltInAndAddMine(main);
    main.Add(QStringLiteral("Gone"), QString(), 7300, QStringLiteral("gone.example"));
    // What a connected engine and an open options page would hold.
    const auto connected = main.Items(4);
    const auto removed = main.Items(5);
    const auto ostrelian = main.Items(0);
    BoxRecorder boxes;
    ModalScript script;
    EditSession(main, script, true);

    ASSERT_EQ(main.Count(), 6);
    EXPECT_EQ(main.Items(0), ostrelian);
    EXPECT_EQ(main.Items(0)->Tag(), 1);
    EXPECT_EQ(main.Items(4), connected);
    EXPECT_EQ(connected->Name(), QStringLiteral("Mine2"));
    EXPECT_EQ(connected->Port(), 7101);
    EXPECT_EQ(main.Items(5)->Name(), QStringLiteral("Extra"));
    EXPECT_EQ(main.Items(5)->Tag(), 0);
    EXPECT_EQ(main.IndexOf(removed.get()), -1);
    EXPECT_EQ(removed->Name(), QStringLiteral("Gone"));
    EXPECT_EQ(removed->Host(), QStringLiteral("gone.example"));
}
