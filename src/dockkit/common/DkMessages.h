#pragma once
// The kit's own messages (plat::KitMessageEvent numbers), in one table: every
// part of the kit that sends or answers one reads its number here.

namespace dk {

// The themed layer (plat::SendMessage, parameters zero).
constexpr int kThemeChangingMessage = 1257;  // to themed windows: suspend the layout
constexpr int kThemeChangedMessage = 1258;   // to themed windows: recompute, resume, repaint
constexpr int kListenerThemeMessage = 1259;  // to listeners: the theme has changed
constexpr int kListenerColorsMessage = 1260; // to listeners: the kit colours were recomputed
constexpr int kViewKindMessage = 1261;       // answer: the view kind in Result
constexpr int kBackColorMessage = 1262;      // answer: Result nonzero, the colour in WParam

// Posted to the hidden command window: run the pending click.
constexpr int kRunPendingClickMessage = 1280;

// The notification pop-up windows send themselves (WParam: 1 before an
// animated showing, where a non-zero answer vetoes the animation; 2 after
// the animation has ended; 3 after a plain showing).
constexpr int kPopupNotifyMessage = 1578;

// To an animated window: a step is due (LParam: the animation's sequence
// number), and the animation has ended (the window shows whole).
constexpr int kAnimationStepMessage = 2389;
constexpr int kAnimationEndedMessage = 2390;

} // namespace dk
