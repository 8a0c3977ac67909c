#pragma once

#include "platform/core/Registry.h"
#include "platform/gui/Drawing.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <vector>

class TDimensionList;

// The client's settings, stored logins and user dimensions in the registry
// below "Software\ZELVO". Everything here works on the registry in memory;
// the main window writes the file once with plat::Registry::Save after its
// whole save sequence.
//
// The main window loads, in this order: LoadLogins, LoadDimensions, the
// toolbar positions ("MainForm\Toolbars"), then LoadSettings, and applies the
// values in the order of TMainSettings:
// - GroupSplitterPosition and MainSplitterPosition are distances of the bar
//   from the bottom: bar position := splitter height - value (76 with a
//   427-pixel splitter puts the bar at 351), and value := height - position
//   when saving;
// - after StatusBarVisible the bottom dock's Top is set to 0;
// - SmoothScrolling and LineSpacing go to the console;
// - after LineSpacing the fonts of FriendsTreeView, GroupsTreeView, OutputMemo
//   and InputEdit, then the colours of the first three controls;
// - the console's link fonts are copies of the OutputMemo font in clBlue (the
//   hover font with the underline inverted);
// - InputEdit's colour also goes to TargetPanel, RefListView and InputPanel;
//   TargetLabel takes a copy of the input font in clBlue, RefListView a copy
//   of the input font, the default colour item the input font's colour;
// - last the logging values, then SetLogging(Logging).
// It saves in the same order: SaveLogins, SaveDimensions, toolbars,
// SaveSettings. During the session the settings hold every value but the
// bars' visibility and the splitter positions, which the user changes on the
// controls themselves and which are taken from them when saving.

// Colours are $00BBGGRR; negative values are system colours.
constexpr int32_t kColorWindow = static_cast<int32_t>(0x80000005u);     // clWindow
constexpr int32_t kColorWindowText = static_cast<int32_t>(0x80000008u); // clWindowText

// A control's font as stored: "{control}_FontCharSet", "_FontColor",
// "_FontName", "_FontSize", "_FontBold", "_FontUnderline", "_FontItalic",
// "_FontStrikeOut", read and written in this order.
struct TFontSettings {
    int32_t CharSet = 1; // the default character set
    int32_t Color = kColorWindowText;
    QString Name = QStringLiteral("Tahoma");
    int32_t Size = 8;
    bool Bold = false;
    bool Underline = false;
    bool Italic = false;
    bool StrikeOut = false;

    bool operator==(const TFontSettings&) const = default;
};

// One of the four controls whose look is stored; Color is "{control}_Color".
struct TControlSettings {
    TFontSettings Font;
    int32_t Color = kColorWindow;

    bool operator==(const TControlSettings&) const = default;
};

// A stored font as the controls take it (a size above 0 is in points, below
// 0 a height in pixels; beyond 512 either way the font keeps its size), and
// back; Qt fonts have no character set, so the one given is kept.
plat::ColoredFont ToColoredFont(const TFontSettings& stored);
TFontSettings ToFontSettings(const plat::ColoredFont& font, int32_t charSet);

QString DefaultVLDirectory();   // home folder + "/Vellinor/"
QString DefaultLoggingFolder(); // the program's data folder + "/Logs/"

// Every plain value under "Software\ZELVO", named as stored, with its default.
// The members are in load and save order.
struct TMainSettings {
    bool AwayLogging = true;
    bool AwayAutoCancel = false;
    bool AutoAway = false;
    int32_t AutoAwayIdle = 10; // minutes; 0 never goes away
    QString AutoAwayMessage = QStringLiteral("Auto-away after 10 minutes");
    bool PlaySounds = true;
    QString VLDirectory = DefaultVLDirectory();
    bool GroupPanelVisible = true;
    int32_t GroupSplitterPosition = 188; // splitter height minus bar position
    int32_t MainSplitterPosition = 76;   // splitter height minus bar position
    bool StatusBarVisible = true;
    bool AutoReconnect = false;
    int32_t ReconnectTimes = 10;
    int32_t ReconnectDelay = 10; // seconds, not bounded: scale in 64 bits
    QString AutoLoginDimension;
    QString AutoLoginUser;
    QString AutoLoginPassword; // in clear here, scrambled in the registry
    int32_t OnStartup = 1;     // 0 nothing, 1 login dialog, 2 automatic login
    QString LastUser;
    QString LastDimension = QStringLiteral("Ostrelian");
    bool ParseEmoticons = true;
    bool ParseUrls = true;
    bool LinkNames = true;
    bool LinkGroups = true;
    bool TimestampChat = true;
    QString TimestampFormat = QStringLiteral("[hh:nn]");
    int32_t TimestampColor = 0x808080; // gray
    bool SmoothScrolling = false;
    bool TimestampIndent = true;
    int32_t LineSpacing = 0; // pixels, kept within 0..100 when loaded
    TControlSettings FriendsTreeView;
    TControlSettings GroupsTreeView;
    TControlSettings OutputMemo;
    TControlSettings InputEdit;
    bool Logging = false;
    bool TimestampLogging = true;
    QString LoggingFolder = DefaultLoggingFolder();
    bool LogGroup = true;
    bool LogPrivate = true;
    bool LogPrivateGroup = true;
    bool LogSystem = true;
    bool LogError = true;

    bool operator==(const TMainSettings&) const = default;
};

// A change of the settings during the session, for the main window's apply
// step.
struct TSettingsChange {
    // The values before: logging stops in their files when it moves.
    TMainSettings Previous;
    // The away options were saved: idle time counts from now.
    bool RestartAutoAway = false;
};

// The stored value when it exists and reads as the type, else the default.
QString ReadString(const plat::Registry::Key& key, const QString& name,
                   const QString& defaultValue);
int32_t ReadInteger(const plat::Registry::Key& key, const QString& name, int32_t defaultValue);
bool ReadBool(const plat::Registry::Key& key, const QString& name, bool defaultValue);

// The eight font values of one control; missing ones, and a size beyond 512
// points or pixels, keep the font's values.
void LoadFont(const plat::Registry::Key& key, const QString& control, TFontSettings& font);
void SaveFont(plat::Registry::Key& key, const QString& control, const TFontSettings& font);

// Password scrambling of the stored logins and the automatic login: byte i
// (counting from 1) becomes (byte + i) mod 256, and back. A byte may become 0,
// so scrambled passwords are stored as binary values.
QByteArray ScramblePassword(QByteArrayView text);
QByteArray UnscramblePassword(QByteArrayView text);

// The "Password" value of a stored login (or AutoLoginPassword): scrambled
// Windows-1252 bytes. Reads also accept a text value.
QString ReadPassword(const plat::Registry::Key& key, const QString& name);
void WritePassword(plat::Registry::Key& key, const QString& name, const QString& password);

struct TLogin {
    QString User;
    QString Password; // in clear
    QString LastChar;
};

// The stored logins. Users match ignoring the case of the ASCII letters.
class TLogins {
public:
    void ClearLogins() { items_.clear(); }
    // Replaces the password of the first matching entry, or appends
    // (user, password, no last character).
    void SetLoginPassword(const QString& user, const QString& password);
    // The field of the last matching entry; empty when none matches.
    QString GetLoginPassword(const QString& user) const;
    QString GetLastChar(const QString& user) const;
    // Sets the field of every matching entry; appends nothing.
    void SetLastChar(const QString& user, const QString& name);

    const std::vector<TLogin>& Items() const { return items_; }

private:
    std::vector<TLogin> items_;
};

// "Logins\{user}": "Password" (scrambled) and "LastChar". Loading empties the
// table first; saving deletes every stored login and writes one key per entry.
void LoadLogins(plat::Registry& registry, TLogins& logins);
void SaveLogins(plat::Registry& registry, const TLogins& logins);

// "Dimensions\{name}": "Host", "Port" (default 7012), "Description". Loading
// first removes every entry that is not built in (Tag 1); saving deletes every
// stored dimension and writes the entries that are not built in.
void LoadDimensions(plat::Registry& registry, TDimensionList& dimensions);
void SaveDimensions(plat::Registry& registry, const TDimensionList& dimensions);

// The name of a value in the table of plain values: a value's stored name;
// for the four controls, "{control}_Font" (the eight font values) and
// "{control}_Color". Empty for a member the table does not store.
QString SettingName(bool TMainSettings::*value);
QString SettingName(int32_t TMainSettings::*value);
QString SettingName(QString TMainSettings::*value);
QString FontSettingName(TControlSettings TMainSettings::*control);
QString ColorSettingName(TControlSettings TMainSettings::*control);

// The plain values under "Software\ZELVO"; each missing or unreadable value
// takes its default.
TMainSettings LoadSettings(plat::Registry& registry);
void SaveSettings(plat::Registry& registry, const TMainSettings& settings);
