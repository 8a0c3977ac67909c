#include "DialogTestSupport.h"

#include "app/dialogs/CharSelForm.h"
#include "app/dialogs/LoginForm.h"
#include "app/dialogs/ServerForm.h"
#include "app/dialogs/ServersForm.h"
#include "app/options/Settings.h"
#include "console/QvNumEdits.h"
#include "engine/DimensionList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items.append(combo->itemText(i));
    }
    return items;
}

class LoginFormTest : public ::testing::Test {
protected:
    LoginFormTest() {
        logins.SetLoginPassword(QStringLiteral("bob"), QStringLiteral("pw"));
        logins.SetLoginPassword(QStringLiteral("Alice"), QString());
    }

    TDimensionList dimensions{nullptr};
    TLogins logins;
};

} // namespace

TEST_F(LoginFormTest, StartsWithTheLastUserAndDimension) {
    TLoginForm form(dimensions, logins, QStringLiteral("BOB"), QStringLiteral("vassa"));
    EXPECT_EQ(Items(form.UserCombobox), (QStringList{"Alice", "bob"}));
    EXPECT_EQ(form.UserName(), QStringLiteral("BOB"));
    EXPECT_EQ(form.Password(), QStringLiteral("pw"));
    EXPECT_TRUE(form.SavePassword());
    EXPECT_EQ(form.PasswordEdit->displayText(), QStringLiteral("**"));
    EXPECT_EQ(form.Dimension(), dimensions.Items(1));
    form.FormActivate();
    EXPECT_EQ(form.focusWidget(), form.PasswordEdit);

    TLoginForm fresh(dimensions, logins, QString(), QStringLiteral("Gone"));
    EXPECT_TRUE(fresh.UserName().isEmpty());
    EXPECT_TRUE(fresh.Password().isEmpty());
    EXPECT_FALSE(fresh.SavePassword());
    EXPECT_EQ(fresh.Dimension(), dimensions.Items(0));
    fresh.FormActivate();
    EXPECT_NE(fresh.focusWidget(), fresh.PasswordEdit);
}

TEST_F(LoginFormTest, PickingAUserFillsOrClearsTheRememberedPassword) {
    TLoginForm form(dimensions, logins, QStringLiteral("Alice"), QString());
    EXPECT_TRUE(form.Password().isEmpty());
    form.UserCombobox->setCurrentIndex(form.UserCombobox->findText(QStringLiteral("bob")));
    EXPECT_EQ(form.Password(), QStringLiteral("pw"));
    EXPECT_TRUE(form.SavePassword());
    form.UserCombobox->setEditText(QStringLiteral("carol"));
    EXPECT_TRUE(form.Password().isEmpty());
    EXPECT_FALSE(form.SavePassword());
    form.UserCombobox->setEditText(QStringLiteral("BoB"));
    EXPECT_EQ(form.Password(), QStringLiteral("pw"));
    EXPECT_TRUE(form.SavePassword());
}

// What the main window does with an accepted login, and what the next login
// dialog then shows.
TEST_F(LoginFormTest, ChoiceIsStoredAndOfferedAgainNextTime) {
    QString lastUser;
    QString lastDimension = QStringLiteral("Ostrelian");
    const auto login = [&](const QString& user, const QString& password, bool remember,
                           const QString& dimension) {
        TLoginForm form(dimensions, logins, lastUser, lastDimension);
        form.DimensionCombobox->setCurrentIndex(form.DimensionCombobox->findText(dimension));
        form.UserCombobox->setEditText(user);
        form.PasswordEdit->setText(password);
        form.SaveCheckbox->setChecked(remember);
        form.Button2->click();
        ASSERT_EQ(form.result(), QDialog::Accepted);
        ASSERT_NE(form.Dimension(), nullptr);
        EXPECT_EQ(form.Dimension(), dimensions.Items(dimensions.IndexOfName(dimension)));
        EXPECT_EQ(form.UserName(), user);
        EXPECT_EQ(form.Password(), password);
        EXPECT_EQ(form.SavePassword(), remember);
        lastUser = form.UserName();
        lastDimension = form.Dimension()->Name();
        logins.SetLoginPassword(form.UserName(), form.SavePassword() ? form.Password() : "");
    };
    login(QStringLiteral("dave"), QStringLiteral("secret"), true, QStringLiteral("Kelmarch"));
    {
        TLoginForm next(dimensions, logins, lastUser, lastDimension);
        EXPECT_EQ(next.UserName(), QStringLiteral("dave"));
        EXPECT_EQ(next.Password(), QStringLiteral("secret"));
        EXPECT_TRUE(next.SavePassword());
        EXPECT_EQ(next.DimensionCombobox->currentText(), QStringLiteral("Kelmarch"));
        EXPECT_TRUE(Items(next.UserCombobox).contains(QStringLiteral("dave")));
    }
    // Not remembering it any more forgets the password.
    login(QStringLiteral("dave"), QStringLiteral("secret"), false, QStringLiteral("Vassa"));
    TLoginForm next(dimensions, logins, lastUser, lastDimension);
    EXPECT_EQ(next.UserName(), QStringLiteral("dave"));
    EXPECT_TRUE(next.Password().isEmpty());
    EXPECT_FALSE(next.SavePassword());
    EXPECT_EQ(next.DimensionCombobox->currentText(), QStringLiteral("Vassa"));
}

TEST_F(LoginFormTest, EmptyUserNameOrPasswordIsRefusedBeforeConnecting) {
    TLoginForm form(dimensions, logins, QString(), QStringLiteral("Vassa"));
    form.show();
    BoxRecorder boxes;
    form.Button2->click();
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Kind, plat::MsgKind::Information);
    EXPECT_EQ(boxes.Boxes[0].Text, QStringLiteral("Need a username!"));
    EXPECT_EQ(form.focusWidget(), form.UserCombobox);
    EXPECT_NE(form.result(), QDialog::Accepted);

    form.UserCombobox->setEditText(QStringLiteral("carol"));
    form.Button2->click();
    ASSERT_EQ(boxes.Boxes.size(), 2u);
    EXPECT_EQ(boxes.Boxes[1].Text, QStringLiteral("No password!"));
    EXPECT_EQ(form.focusWidget(), form.PasswordEdit);
    EXPECT_NE(form.result(), QDialog::Accepted);

    form.PasswordEdit->setText(QStringLiteral("pw"));
    form.Button2->click();
    EXPECT_EQ(boxes.Boxes.size(), 2u);
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(LoginFormTest, EmptyDimensionListAsksForANewDimensionWhichIsChosen) {
    dimensions.Clear();
    TLoginForm form(dimensions, logins, QString(), QStringLiteral("Ostrelian"));
    EXPECT_EQ(form.Dimension(), nullptr);
    EXPECT_FALSE(form.Button2->isEnabled());

    ModalScript script;
    script.Then<TServerForm>([](TServerForm& details) { details.CancelButton->click(); });
    form.SpeedButton1Click();
    EXPECT_EQ(dimensions.Count(), 0);
    EXPECT_FALSE(form.Button2->isEnabled());

    script.Then<TServerForm>([](TServerForm& details) {
        details.HostEdit->setText(QStringLiteral("localhost"));
        details.OkButtonClick();
    });
    form.SpeedButton1Click();
    ASSERT_EQ(dimensions.Count(), 1);
    EXPECT_EQ(form.Dimension(), dimensions.Items(0));
    EXPECT_EQ(form.DimensionCombobox->currentText(), QStringLiteral("New Dimension"));
    EXPECT_TRUE(form.Button2->isEnabled());
}

TEST_F(LoginFormTest, EditedListKeepsTheChosenNameElseChoosesTheFirst) {
    dimensions.Add(QStringLiteral("Mine"), QString(), 7100, QStringLiteral("m"));
    TLoginForm form(dimensions, logins, QString(), QStringLiteral("kelmarch"));
    BoxRecorder boxes;
    ModalScript script;
    script.Then<TServersForm>([](TServersForm& list) {
        list.AddButtonClick();
        list.OkButton->click();
    });
    script.Then<TServerForm>([](TServerForm& details) {
        details.NameEdit->setText(QStringLiteral("Extra"));
        details.HostEdit->setText(QStringLiteral("x"));
        details.OkButtonClick();
    });
    form.ManageDimensions();
    EXPECT_EQ(Items(form.DimensionCombobox).last(), QStringLiteral("Extra"));
    EXPECT_EQ(form.Dimension(), dimensions.Items(2));

    form.DimensionCombobox->setCurrentIndex(form.DimensionCombobox->findText("Mine"));
    script.Then<TServersForm>([](TServersForm& list) {
        list.ServerListview->setCurrentItem(
            list.ServerListview->findItems(QStringLiteral("Mine"), Qt::MatchExactly).first());
        list.RemoveButtonClick();
        list.OkButton->click();
    });
    form.ManageDimensions();
    EXPECT_FALSE(Items(form.DimensionCombobox).contains(QStringLiteral("Mine")));
    EXPECT_EQ(form.Dimension(), dimensions.Items(0));
}

TEST(CharSelFormTest, PreselectsTheLastCharacterIgnoringCaseElseTheFirst) {
    const QStringList names{"bob", "Alice", "carol"};
    TCharSelForm form;
    form.SetCharacters(names, QStringLiteral("CAROL"));
    EXPECT_EQ(Items(form.CharacterCombobox), (QStringList{"Alice", "bob", "carol"}));
    EXPECT_EQ(form.Character(), QStringLiteral("carol"));
    form.SetCharacters(names, QStringLiteral("Zed"));
    EXPECT_EQ(form.Character(), QStringLiteral("Alice"));
    form.SetCharacters({}, QStringLiteral("Zed"));
    EXPECT_TRUE(form.Character().isEmpty());
}

TEST(CharSelFormTest, OkAcceptsOnlyAListedNameAndCancelCloses) {
    BoxRecorder boxes;
    TCharSelForm form;
    form.show();
    form.SetCharacters({"Alice", "Bob"}, QString());
    form.CharacterCombobox->setEditText(QStringLiteral("Alicia"));
    form.Button2->click();
    ASSERT_EQ(boxes.Boxes.size(), 1u);
    EXPECT_EQ(boxes.Boxes[0].Kind, plat::MsgKind::Error);
    EXPECT_EQ(boxes.Boxes[0].Text,
              QStringLiteral("The character Alicia is not available for your account."));
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(form.result(), QDialog::Accepted);

    form.CharacterCombobox->setEditText(QStringLiteral("alice"));
    form.Button2->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Character(), QStringLiteral("alice"));
    EXPECT_EQ(boxes.Boxes.size(), 1u);

    TCharSelForm other;
    other.show();
    other.SetCharacters({"Alice"}, QString());
    other.Button1->click();
    EXPECT_EQ(other.result(), QDialog::Rejected);
    EXPECT_FALSE(other.isVisible());
    EXPECT_EQ(boxes.Boxes.size(), 1u);
}
