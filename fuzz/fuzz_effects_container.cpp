// Arbitrary bytes through the effects kit's container readers: container
// files, container streams with and without their offset table, and single
// item records of the four list kinds.
//
// Input: byte 0 chooses the list kind (low two bits) and the reader (next
// two bits); the rest is what the reader gets.
// Checked on every input:
// - no crash, no sanitizer report;
// - only the documented errors (the stream read error, a wrong file type,
//   a bitmap or wave that is not valid, a short string too long);
// - a failed read leaves the container or item exactly as it was;
// - what reads successfully is written, and that writing reads back to the
//   same bytes.

#include "effects/core/VfxStreams.h"
#include "effects/core/VfxWave.h"
#include "effects/gui/bitmaps/VfxBitmapImage.h"
#include "effects/gui/bitmaps/VfxContainers.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

void expect(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::unique_ptr<fx::TVfxCustomContainer> newList(int kind) {
    switch (kind) {
    case 0:
        return std::make_unique<fx::TVfxImageList>();
    case 1:
        return std::make_unique<fx::TVfxBitmapList>();
    case 2:
        return std::make_unique<fx::TVfxWaveList>();
    default:
        return std::make_unique<fx::TVfxStringList>();
    }
}

// A list holding one item, so that a failed read has something to keep.
std::unique_ptr<fx::TVfxCustomContainer> seededList(int kind) {
    auto list = newList(kind);
    fx::TVfxListItem& item = list->AddItem();
    item.SetDescription(QStringLiteral("seed"));
    item.SetIdent(42);
    return list;
}

QByteArray saved(const fx::TVfxCustomContainer& list, int reader) {
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    if (reader == 0) {
        list.SaveToStream(out);
    } else {
        list.WriteContainer(out, reader == 1);
    }
    return out.data();
}

void load(fx::TVfxCustomContainer& list, QByteArray bytes, int reader) {
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    if (reader == 0) {
        list.LoadFromStream(in);
    } else {
        list.ReadContainer(in, reader == 1);
    }
}

// Runs read; true when it succeeded, false for a documented error.
template <typename F>
bool documented(F&& read) {
    try {
        read();
        return true;
    } catch (const plat::EReadError&) {
    } catch (const fx::EInvalidGraphic&) {
    } catch (const fx::EInvalidWave&) {
    } catch (const fx::EErrorCheckingWave&) {
    } catch (const plat::Exception& e) {
        expect(e.Message().startsWith(QStringLiteral("Cannot open file %s: ")));
    }
    return false;
}

void readContainer(int kind, int reader, const QByteArray& bytes) {
    auto list = seededList(kind);
    const QByteArray before = saved(*list, reader);
    if (!documented([&] { load(*list, bytes, reader); })) {
        expect(saved(*list, reader) == before);
        return;
    }
    const QByteArray written = saved(*list, reader);
    auto again = newList(kind);
    load(*again, written, reader);
    expect(saved(*again, reader) == written);
}

void readItem(int kind, const QByteArray& bytes) {
    auto list = seededList(kind);
    fx::TVfxListItem& item = *list->GetItem(0);
    const auto written = [&] {
        QBuffer out;
        out.open(QIODevice::ReadWrite);
        item.WriteItem(out);
        return out.data();
    };
    const QByteArray before = written();
    QByteArray copy = bytes;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    if (!documented([&] { item.ReadItem(in); })) {
        expect(written() == before);
        return;
    }
    const QByteArray after = written();
    auto again = newList(kind);
    QByteArray round = after;
    QBuffer back(&round);
    back.open(QIODevice::ReadOnly);
    fx::TVfxListItem& other = again->AddItem();
    other.ReadItem(back);
    QBuffer out;
    out.open(QIODevice::ReadWrite);
    other.WriteItem(out);
    expect(out.data() == after);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const int kind = data[0] & 3;
    const int reader = (data[0] >> 2) & 3;
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if (reader == 3) {
        readItem(kind, rest);
    } else {
        readContainer(kind, reader, rest);
    }
    return 0;
}
