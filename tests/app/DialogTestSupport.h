#pragma once
// Driving the dialogs from tests: boxes are recorded and answered, modal
// dialogs are handed to scripted steps in the order they open.

#include "app/dialogs/DialogSupport.h"
#include "platform/gui/MsgBox.h"

#include <QDialog>
#include <QString>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

// Records every box; confirmations are answered with Yes unless `Yes` is
// false. Every box carries the program's title and the buttons of its kind.
class BoxRecorder {
public:
    BoxRecorder()
        : handler_([this](const plat::MsgBoxRequest& box) {
              EXPECT_EQ(box.Caption, QStringLiteral("Quorvel"));
              const bool confirmation = box.Kind == plat::MsgKind::Confirmation;
              EXPECT_EQ(box.Buttons, confirmation ? plat::MsgButtons::YesNo : plat::MsgButtons::Ok);
              Boxes.push_back(box);
              return confirmation ? (Yes ? plat::MsgResult::Yes : plat::MsgResult::No)
                                  : plat::MsgResult::Ok;
          }) {}

    std::vector<plat::MsgBoxRequest> Boxes;
    bool Yes = true;

private:
    plat::ScopedMsgBoxHandler handler_;
};

// Each dialog run modally takes the next step; a step must find the dialog
// of the type it expects. Steps may run further dialogs (nested).
class ModalScript {
public:
    ModalScript()
        : runner_([this](QDialog& dialog) {
              if (steps_.empty()) {
                  ADD_FAILURE() << "no step left for " << dialog.metaObject()->className();
                  return int(QDialog::Rejected);
              }
              auto step = std::move(steps_.front());
              steps_.pop_front();
              dialog.show();
              step(dialog);
              ++Ran;
              return dialog.result();
          }) {}
    ~ModalScript() { EXPECT_TRUE(steps_.empty()) << steps_.size() << " steps did not run"; }

    // `step` acts on the dialog (fills fields, clicks); the dialog's result
    // after it is what the run returns.
    template <typename Form>
    void Then(std::function<void(Form&)> step) {
        steps_.push_back([step = std::move(step)](QDialog& dialog) {
            auto* form = qobject_cast<Form*>(&dialog);
            ASSERT_NE(form, nullptr) << "unexpected " << dialog.metaObject()->className();
            step(*form);
        });
    }

    int Ran = 0;

private:
    std::deque<std::function<void(QDialog&)>> steps_;
    dlg::ScopedModalRunner runner_;
};
