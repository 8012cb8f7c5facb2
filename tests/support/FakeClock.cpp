#include "FakeClock.h"

namespace purgix::testing {

struct FakeClock::Slot : ui::Peer {
    Slot(FakeClock& c, ui::Timer& t) : clock(c), timer(t) { Restart(); }
    void Restart() { due = clock.now_ + timer.Interval(); }
    void Sync(ui::Change what) override {
        if (what != ui::Change::Enabled) return;
        if (timer.Enabled()) Restart();
        if (clock.log_ != nullptr) clock.log_->push_back(timer.Name() + (timer.Enabled() ? "(on)" : "(off)"));
    }
    FakeClock& clock;
    ui::Timer& timer;
    std::int64_t due = 0;
};

FakeClock::FakeClock(std::vector<ui::Timer*> timers, std::vector<std::string>* log) : log_(log) {
    for (ui::Timer* t : timers) {
        slots_.push_back(std::make_unique<Slot>(*this, *t));
        t->Attach(slots_.back().get());
    }
}

FakeClock::~FakeClock() {
    for (auto& s : slots_) s->timer.Attach(nullptr);
}

void FakeClock::Advance(std::int64_t ms) {
    const std::int64_t end = now_ + ms;
    for (;;) {
        Slot* next = nullptr;
        for (auto& s : slots_)
            if (s->timer.Enabled() && s->due <= end && (next == nullptr || s->due < next->due)) next = s.get();
        if (next == nullptr) break;
        if (next->due > now_) now_ = next->due;
        // Ticks missed while a handler was busy come as one, as WM_TIMER does.
        while (next->due <= now_) next->due += next->timer.Interval();
        if (next->timer.Tick) next->timer.Tick();
    }
    if (end > now_) now_ = end;
}

}  // namespace purgix::testing
