#pragma once
// Message boxes in tests. No test may wait on a box that nobody closes: the
// test program answers every box of the run with a strict answerer, so that
// a box nobody expected fails the running test at once. A test that expects
// boxes holds an answerer of its own (the innermost one answers), which
// records them and answers as the test says.

#include "platform/gui/MsgBox.h"

#include <QStringList>

#include <functional>
#include <vector>

class BoxAnswerer {
public:
    // Strict: every box is a failure of the running test, answered as closing
    // it would be (Cancel, No or Ok, whichever it has). Expecting: every box
    // is recorded and answered, confirmations with ConfirmAnswer, the rest Ok.
    enum class Mode { Strict, Expecting };

    explicit BoxAnswerer(Mode mode = Mode::Expecting);

    std::vector<plat::MsgBoxRequest> Boxes;
    plat::MsgResult ConfirmAnswer = plat::MsgResult::Yes;
    // Runs first for each box (checks every box must pass, a log).
    std::function<void(const plat::MsgBoxRequest&)> OnBox;

private:
    plat::MsgResult Answer(const plat::MsgBoxRequest& box);

    Mode mode_;
    plat::ScopedMsgBoxHandler handler_;
};

// Each box as "Kind: text" (Plain, Information, Confirmation or Error).
QStringList BoxTexts(const std::vector<plat::MsgBoxRequest>& boxes);
