#pragma once
// The read and write callbacks of saved window positions. Each takes the
// section (the window's name), the value's name, and for reads a default; the
// extra data is handed through unchanged.

#include <QString>

#include <functional>

namespace dk {

using TPositionReadIntProc =
    std::function<int(const QString& section, const QString& name, int def, void* extraData)>;
using TPositionReadStringProc = std::function<QString(const QString& section, const QString& name,
                                                      const QString& def, void* extraData)>;
using TPositionWriteIntProc =
    std::function<void(const QString& section, const QString& name, int value, void* extraData)>;
using TPositionWriteStringProc = std::function<void(const QString& section, const QString& name,
                                                    const QString& value, void* extraData)>;

// What a window reads its saved values through.
struct TDkPositionReadData {
    TPositionReadIntProc ReadIntProc;
    TPositionReadStringProc ReadStringProc;
    void* ExtraData = nullptr;

    int ReadInt(const QString& section, const QString& name, int def) const {
        return ReadIntProc(section, name, def, ExtraData);
    }
    QString ReadString(const QString& section, const QString& name, const QString& def) const {
        return ReadStringProc(section, name, def, ExtraData);
    }
};

// What a window writes its values through.
struct TDkPositionWriteData {
    TPositionWriteIntProc WriteIntProc;
    TPositionWriteStringProc WriteStringProc;
    void* ExtraData = nullptr;

    void WriteInt(const QString& section, const QString& name, int value) const {
        WriteIntProc(section, name, value, ExtraData);
    }
    void WriteString(const QString& section, const QString& name, const QString& value) const {
        WriteStringProc(section, name, value, ExtraData);
    }
};

} // namespace dk
