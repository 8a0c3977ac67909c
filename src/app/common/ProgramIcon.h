#pragma once
// The program's picture: a speech bubble holding a "Q", drawn here at every
// size a window system asks for, so that it stays sharp from a title bar's
// 16 pixels to a task switcher's 256.

#include <QIcon>
#include <QImage>

#include <array>

// The sizes the icon is drawn at.
inline constexpr std::array<int, 7> kProgramIconSizes = {16, 24, 32, 48, 64, 128, 256};

// The picture at one size (a square of `size` pixels, transparent round it).
QImage ProgramImage(int size);

// Every size of the picture, made once.
const QIcon& ProgramIcon();
