#include "BoxAnswerer.h"

#include <gtest/gtest.h>

BoxAnswerer::BoxAnswerer(Mode mode)
    : mode_(mode), handler_([this](const plat::MsgBoxRequest& box) { return Answer(box); }) {}

plat::MsgResult BoxAnswerer::Answer(const plat::MsgBoxRequest& box) {
    if (OnBox) {
        OnBox(box);
    }
    Boxes.push_back(box);
    if (mode_ == Mode::Strict) {
        ADD_FAILURE() << "a message box nobody expected: "
                      << BoxTexts({box}).constFirst().toStdString();
        switch (box.Buttons) {
        case plat::MsgButtons::YesNoCancel:
            return plat::MsgResult::Cancel;
        case plat::MsgButtons::YesNo:
            return plat::MsgResult::No;
        case plat::MsgButtons::Ok:
            return plat::MsgResult::Ok;
        }
    }
    return box.Kind == plat::MsgKind::Confirmation ? ConfirmAnswer : plat::MsgResult::Ok;
}

QStringList BoxTexts(const std::vector<plat::MsgBoxRequest>& boxes) {
    static const char* const kKinds[] = {"Plain", "Information", "Confirmation", "Error"};
    QStringList texts;
    for (const plat::MsgBoxRequest& box : boxes) {
        texts << QString::fromLatin1(kKinds[int(box.Kind)]) + ": " + box.Text;
    }
    return texts;
}
