// The friends tree as the program receives its buddies: the engine's events
// arrive through the event loop, one turn each (the socket hands over one
// packet per read notification), and the loop runs between them with
// whatever the views deferred: layouts, timers and paints of the tree, which
// is shown (off screen). Beside the program's main window, in the same run,
// a QTreeView over a QStandardItemModel kept sorted (each child inserted at
// its sorted place, a status change taking the row to the other root) takes
// the same events.
//
//   Login: n buddies arrive as fast as the loop takes them; the processor
//   time from the first until the tree is idle again, per buddy.
//   StatusStorm: with n buddies known and every root open, 1,000 status
//   changes a second for two seconds (random buddies going on- or offline);
//   the processor time per change, the share of one core, and how late the
//   last change was applied (a backlog shows here).
//
// The figures are processor time of the whole process. After the benchmarks
// the program prints, per repetition and as min / median / max over the
// repetitions, the ratios the trees are held to: the program's figure at
// 10,000 buddies over its figure at 1,000, and the program over the
// QTreeView at each size. Run with --benchmark_repetitions=N for several.
#include "BenchMain.h"
#include "BenchQt.h"
#include "BenchStats.h"

#include "app/dialogs/DialogSupport.h"
#include "app/mainform/MainForm.h"
#include "app/mainform/MainFormControls.h"
#include "dockkit/themes/DkKitThemes.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

double ProcessCpuSeconds() {
    return static_cast<double>(ProcessCpuNs()) / 1e9;
}

// A buddy of the list: its name as the engine has it, its status.
struct Buddy {
    QByteArray Name;
    bool Online;
    bool Permanent;
};

// n buddies in no order, a quarter of the names in capitals; every tenth is
// not permanent, every other online.
std::vector<Buddy> Buddies(int n) {
    std::mt19937 random(7);
    std::vector<Buddy> buddies;
    for (int i = 0; i < n; ++i) {
        QByteArray name = "Buddy" + QByteArray::number(i);
        if (random() % 4 == 0) {
            name = name.toUpper();
        }
        buddies.push_back({name, i % 2 == 0, i % 10 != 0});
    }
    std::shuffle(buddies.begin(), buddies.end(), random);
    return buddies;
}

// What takes the engine's buddy events.
class Contender {
public:
    virtual ~Contender() = default;
    virtual void Add(const Buddy& buddy) = 0;
    virtual void Change(const Buddy& buddy) = 0;
    virtual void Clear() = 0;
    virtual void OpenAll() = 0;
};

// The program's main window, shown and not connected (the login dialog it
// opens is cancelled), its settings in a folder of its own.
class ProgramTree final : public Contender {
public:
    ProgramTree() : cancel_([](QDialog&) { return int(QDialog::Rejected); }) {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        form_ = std::make_unique<TMainForm>();
        form_->show();
        RunEventLoopFor(50);
    }
    ~ProgramTree() override { form_.reset(); } // saves its settings while their folder exists

    QSize TreeSize() const { return form_->FriendsTreeView->size(); }
    void Add(const Buddy& buddy) override {
        form_->VLChatFriendAdd(nullptr, TFriendInfo(buddy.Name, buddy.Online, buddy.Permanent));
    }
    void Change(const Buddy& buddy) override {
        form_->VLChatFriendStatusChange(nullptr,
                                        TFriendInfo(buddy.Name, buddy.Online, buddy.Permanent));
    }
    void Clear() override { form_->Trees().Clear(); }
    void OpenAll() override {
        TTreeView* tree = form_->FriendsTreeView;
        for (int i = 0; i < tree->RootCount(); ++i) {
            tree->SetExpanded(tree->Root(i), true);
        }
    }

private:
    QTemporaryDir config_;
    dlg::ScopedModalRunner cancel_;
    std::unique_ptr<TMainForm> form_;
};

QIcon Swatch(const QColor& color) {
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

// A QTreeView over a QStandardItemModel with the same three roots, each
// child inserted at its sorted place; a status change takes the row out and
// inserts it under its new root. The online root opens with its first child.
class QtTree final : public Contender {
public:
    explicit QtTree(QSize size) : online_(Swatch(Qt::green)), offline_(Swatch(Qt::gray)) {
        view_.setHeaderHidden(true);
        view_.setModel(&model_);
        view_.setIconSize(QSize(16, 16));
        Clear();
        view_.resize(size);
        view_.show();
        RunEventLoopFor(50);
    }

    void Add(const Buddy& buddy) override {
        const QString name = QString::fromLatin1(buddy.Name);
        auto* item = new QStandardItem(buddy.Online ? online_ : offline_, name);
        item->setEditable(false);
        Insert(RootOf(buddy), item);
        items_.insert(name.toCaseFolded(), item);
    }
    void Change(const Buddy& buddy) override {
        QStandardItem* item = items_.value(QString::fromLatin1(buddy.Name).toCaseFolded());
        if (!item) {
            return;
        }
        QStandardItem* root = RootOf(buddy);
        if (item->parent() != root) {
            QList<QStandardItem*> row = item->parent()->takeRow(item->row());
            Insert(root, row.first());
        }
        item->setIcon(buddy.Online ? online_ : offline_);
    }
    void Clear() override {
        model_.clear();
        items_.clear();
        for (const char* caption : {"Online Friends", "Offline Friends", "Unknown"}) {
            auto* root = new QStandardItem(QString::fromLatin1(caption));
            root->setEditable(false);
            model_.appendRow(root);
        }
        openOnline_ = true;
    }
    void OpenAll() override { view_.expandAll(); }

private:
    QStandardItem* RootOf(const Buddy& buddy) const {
        return model_.item(!buddy.Permanent ? 2 : buddy.Online ? 0 : 1);
    }
    static bool SortsBefore(const QString& a, const QString& b) {
        const int order = QString::compare(a, b, Qt::CaseInsensitive);
        return order < 0 || (order == 0 && a < b);
    }
    void Insert(QStandardItem* root, QStandardItem* item) {
        int low = 0;
        int high = root->rowCount();
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (SortsBefore(item->text(), root->child(middle)->text())) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        root->insertRow(low, item);
        if (root == model_.item(0) && openOnline_) {
            openOnline_ = false;
            view_.expand(root->index());
        }
    }

    QStandardItemModel model_;
    QTreeView view_;
    QIcon online_;
    QIcon offline_;
    QHash<QString, QStandardItem*> items_;
    bool openOnline_ = true;
};

// Hands the events to a contender one event-loop turn each: every event
// posts the next, so the loop runs timers and paints between them. With a
// pace, event i is due at i / rate seconds; the events due are posted when
// a 1 ms timer finds them due.
class Delivery : public QObject {
public:
    Delivery(std::function<void(size_t)> apply, size_t count)
        : apply_(std::move(apply)), count_(count) {}

    // As fast as the loop takes them.
    void RunUnpaced() {
        rate_ = 0;
        Post();
        loop_.exec();
    }
    // At `rate` a second; returns the lateness of the last event, in ms.
    double RunPaced(double rate) {
        rate_ = rate;
        clock_.start();
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [this] {
            while (posted_ < count_ && DueMs(posted_) <= clock_.nsecsElapsed() / 1e6) {
                ++posted_;
                Post();
            }
        });
        tick.start(1);
        loop_.exec();
        return lastLateMs_;
    }

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) {
            return QObject::event(event);
        }
        const size_t i = next_++;
        apply_(i);
        if (rate_ > 0) {
            lastLateMs_ = clock_.nsecsElapsed() / 1e6 - DueMs(i);
        }
        if (next_ == count_) {
            loop_.quit();
        } else if (rate_ <= 0) {
            Post();
        }
        return true;
    }

private:
    double DueMs(size_t i) const { return static_cast<double>(i) * 1000.0 / rate_; }
    void Post() { QCoreApplication::postEvent(this, new QEvent(QEvent::User)); }

    std::function<void(size_t)> apply_;
    size_t count_;
    size_t next_ = 0;
    size_t posted_ = 0;
    double rate_ = 0;
    double lastLateMs_ = 0;
    QElapsedTimer clock_;
    QEventLoop loop_;
};

// The figures of each run, by scenario, contender and size, in run order.
std::map<QString, std::vector<double>>& Figures() {
    static std::map<QString, std::vector<double>> figures;
    return figures;
}
QString FigureKey(const char* scenario, int contender, int n) {
    static const char* const names[] = {"program", "qtreeview", "none"};
    return QStringLiteral("%1/%2/%3")
        .arg(QLatin1String(scenario), QLatin1String(names[contender]))
        .arg(n);
}

// Takes the events and does nothing: what the delivery itself costs.
class NoTree final : public Contender {
public:
    void Add(const Buddy&) override {}
    void Change(const Buddy&) override {}
    void Clear() override {}
    void OpenAll() override {}
};

enum ContenderIndex { kProgram = 0, kQTreeView = 1, kNoTree = 2 };

// One program window and one QTreeView for the whole run.
struct Contenders {
    ProgramTree Program;
    QtTree Qt{Program.TreeSize()};
    NoTree None;
    Contender& Of(int contender) {
        switch (contender) {
        case kProgram:
            return Program;
        case kQTreeView:
            return Qt;
        default:
            return None;
        }
    }
};
std::unique_ptr<Contenders>
    g_contenders; // made by the first benchmark, gone before the application
Contenders& TheContenders() {
    if (!g_contenders) {
        g_contenders = std::make_unique<Contenders>();
    }
    return *g_contenders;
}

// Long enough for the deferred layouts and paints (two refresh intervals of
// the program's view), short enough to add little idle time.
constexpr int kSettleMs = 50;

void BM_Trees_Login(benchmark::State& state, int contenderIndex) {
    const int n = static_cast<int>(state.range(0));
    Contender& contender = TheContenders().Of(contenderIndex);
    const std::vector<Buddy> buddies = Buddies(n);
    double perBuddyUs = 0;
    for (auto _ : state) {
        contender.Clear();
        RunEventLoopFor(kSettleMs);
        const double start = ProcessCpuSeconds();
        Delivery delivery([&](size_t i) { contender.Add(buddies[i]); }, buddies.size());
        delivery.RunUnpaced();
        RunEventLoopFor(kSettleMs);
        const double cpu = ProcessCpuSeconds() - start;
        state.SetIterationTime(cpu);
        perBuddyUs = cpu * 1e6 / n;
    }
    state.counters["cpu_per_buddy_us"] = perBuddyUs;
    Figures()[FigureKey("login", contenderIndex, n)].push_back(perBuddyUs);
}

constexpr double kStormRate = 1000;
constexpr int kStormChanges = 2000;

void BM_Trees_StatusStorm(benchmark::State& state, int contenderIndex) {
    const int n = static_cast<int>(state.range(0));
    Contender& contender = TheContenders().Of(contenderIndex);
    std::vector<Buddy> buddies = Buddies(n);
    contender.Clear();
    Delivery([&](size_t i) { contender.Add(buddies[i]); }, buddies.size()).RunUnpaced();
    contender.OpenAll();
    RunEventLoopFor(kSettleMs);
    // Random buddies, each going to the other status.
    std::mt19937 random(11);
    std::vector<Buddy> changes;
    for (int i = 0; i < kStormChanges; ++i) {
        Buddy& buddy = buddies[random() % buddies.size()];
        buddy.Online = !buddy.Online;
        changes.push_back(buddy);
    }
    double perChangeUs = 0;
    double lateMs = 0;
    double wallS = 0;
    for (auto _ : state) {
        QElapsedTimer wall;
        wall.start();
        const double start = ProcessCpuSeconds();
        Delivery delivery([&](size_t i) { contender.Change(changes[i]); }, changes.size());
        lateMs = delivery.RunPaced(kStormRate);
        RunEventLoopFor(kSettleMs);
        const double cpu = ProcessCpuSeconds() - start;
        wallS = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        state.SetIterationTime(cpu);
        perChangeUs = cpu * 1e6 / kStormChanges;
    }
    state.counters["cpu_per_change_us"] = perChangeUs;
    state.counters["core_share"] = perChangeUs * kStormRate / 1e6;
    state.counters["last_late_ms"] = lateMs;
    state.counters["wall_s"] = wallS;
    Figures()[FigureKey("storm", contenderIndex, n)].push_back(perChangeUs);
    Figures()[FigureKey("storm-late-ms", contenderIndex, n)].push_back(lateMs);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->ArgName("buddies")->Arg(1000)->Arg(3000)->Arg(10000);
    b->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}
BENCHMARK_CAPTURE(BM_Trees_Login, program, kProgram)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Trees_Login, qtreeview, kQTreeView)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Trees_Login, none, kNoTree)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Trees_StatusStorm, program, kProgram)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Trees_StatusStorm, qtreeview, kQTreeView)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Trees_StatusStorm, none, kNoTree)->Apply(Sizes);

// min / median / max over the runs of a[i] / b[i]; with figures to take
// away, of (a[i] - lessA[i]) / (b[i] - lessB[i]).
void PrintRatio(const QString& what, const QString& a, const QString& b,
                const QString& lessA = QString(), const QString& lessB = QString()) {
    const auto& figures = Figures();
    const std::vector<double> none;
    const auto of = [&](const QString& key) -> const std::vector<double>* {
        if (key.isEmpty()) {
            return &none;
        }
        return figures.contains(key) ? &figures.at(key) : nullptr;
    };
    const std::vector<double>* x = of(a);
    const std::vector<double>* y = of(b);
    const std::vector<double>* xLess = of(lessA);
    const std::vector<double>* yLess = of(lessB);
    if (!x || !y || !xLess || !yLess) {
        return;
    }
    std::vector<double> ratios;
    for (size_t i = 0; i < std::min(x->size(), y->size()); ++i) {
        const double top = (*x)[i] - (i < xLess->size() ? (*xLess)[i] : 0.0);
        const double bottom = (*y)[i] - (i < yLess->size() ? (*yLess)[i] : 0.0);
        if (bottom > 0) {
            ratios.push_back(top / bottom);
        }
    }
    if (!ratios.empty()) {
        PrintSpread(qPrintable(what), ratios);
    }
}

void PrintRatios() {
    std::printf("\nRatios (min / median / max over the runs, then each run):\n");
    for (const char* scenario : {"login", "storm"}) {
        const QString name = QLatin1String(scenario);
        for (int n : {10000, 3000}) {
            PrintRatio(QStringLiteral("%1 per item, program %2 / program 1000").arg(name).arg(n),
                       FigureKey(scenario, kProgram, n), FigureKey(scenario, kProgram, 1000));
        }
        // Less what the delivery itself costs at each size (the same for
        // every contender).
        PrintRatio(QStringLiteral("%1 per item less delivery, program 10000 / 1000").arg(name),
                   FigureKey(scenario, kProgram, 10000), FigureKey(scenario, kProgram, 1000),
                   FigureKey(scenario, kNoTree, 10000), FigureKey(scenario, kNoTree, 1000));
        for (int n : {1000, 3000, 10000}) {
            PrintRatio(QStringLiteral("%1 per item, program / qtreeview at %2").arg(name).arg(n),
                       FigureKey(scenario, kProgram, n), FigureKey(scenario, kQTreeView, n));
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    PreferOffscreen();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    // The kit's themes, in force as in the program.
    const std::unique_ptr<TDkxNexus> themes = dk::CreateKitThemeNexus();
    if (!RunBenchmarks(argc, argv)) {
        return 1;
    }
    g_contenders.reset();
    PrintRatios();
    return 0;
}
