// A form's timers as WM_TIMER ids 1, 2, ... of its window, in the form's order.
#include "platform/win32/window/FormTimers.h"

namespace purgix::win32 {

namespace {

struct TimerPeer : ui::Peer {
    TimerPeer(HWND w, ui::Timer& t, UINT i) : hwnd(w), timer(t), id(i) { timer.Attach(this); }
    ~TimerPeer() override {
        if (timer.GetPeer() == this) timer.Attach(nullptr);
    }
    void Sync(ui::Change) override {
        if (timer.Enabled())
            SetTimer(hwnd, id, timer.Interval(), nullptr);
        else
            KillTimer(hwnd, id);
    }
    HWND hwnd;
    ui::Timer& timer;
    UINT id;
};

}  // namespace

void FormTimers::Start(HWND window, ui::Form& form) {
    UINT id = 1;
    for (ui::Timer* t : form.Timers()) {
        peers_.push_back(std::make_unique<TimerPeer>(window, *t, id++));
        peers_.back()->Sync(ui::Change::Enabled);
    }
}

void FormTimers::Tick(WPARAM id, ui::Form& form) const {
    auto& all = form.Timers();
    if (id >= 1 && id <= all.size()) {
        ui::Timer* t = all[id - 1];
        if (t->Enabled() && t->Tick) t->Tick();
    }
}

void FormTimers::Kill(HWND window, ui::Form& form) const {
    for (UINT id = 1; id <= form.Timers().size(); ++id) KillTimer(window, id);
}

}  // namespace purgix::win32
