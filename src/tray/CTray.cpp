#include "tray/CTray.h"

#include <algorithm>
#include <cmath>

namespace purgix::tray {

namespace {
// The mouse messages the shell reports in place of a move's x coordinate.
constexpr int kLButtonDown = 0x201, kLButtonUp = 0x202, kLButtonDblClk = 0x203;
constexpr int kRButtonDown = 0x204, kRButtonUp = 0x205, kRButtonDblClk = 0x206;
}  // namespace

CTray::~CTray() {
    DeleteIcon();
    Unbind();
}

void CTray::Unbind() {
    if (mPic == nullptr) return;
    mPic->MouseMove = nullptr;
    mPic->Change = nullptr;
    mPic = nullptr;
}

void CTray::PicBox(ui::PictureBox& box) {
    Unbind();
    mPic = &box;
    box.MouseMove = [this](int, int, double x, double) { mPic_MouseMove(x); };
    box.Change = [this] { mPic_Change(); };
    record_.window = box.Handle();
    record_.icon = box.Picture().get();
}

void CTray::TipText(std::string_view text) {
    std::string field(text);
    field.push_back('\0');
    field.resize(platform::kTipField, ' ');
    record_.tip = std::move(field);
    Tell(platform::kNimModify);
}

bool CTray::Tell(int operation) {
    const bool taken = shell_.ShellNotifyIcon(operation, record_);
    // Before the icon is added the shell refuses changes to it, as it should: only the refusals that matter leave a trace.
    if (!taken && (operation == platform::kNimAdd || shown_)) {
        static constexpr const char* kWhat[] = {"the notification area refused the icon", "the notification area refused a change of the icon",
                                                "the notification area refused to take the icon away"};
        diagnostics_.Trace("tray icon", kWhat[operation]);
    }
    return taken;
}

bool CTray::ShowIcon() {
    if (mPic == nullptr) return false;
    shown_ = Tell(platform::kNimAdd);
    return shown_;
}

void CTray::ModifyIcon() { Tell(platform::kNimModify); }

void CTray::DeleteIcon() {
    Tell(platform::kNimDelete);
    shown_ = false;
}

void CTray::ShowLoad(const std::optional<platform::TrayLoad>& load) {
    if (load == record_.load) return;
    record_.load = load;
    ModifyIcon();
}

void CTray::Notice(std::string_view text, std::string_view title) {
    record_.info = text;
    record_.infoTitle = title;
    record_.infoFlags = platform::kNiifNoSound | platform::kNiifRespectQuietTime;
    record_.flags |= platform::kNifInfo;
    ModifyIcon();
    // Later calls (a new load, the tooltip) must not show it again.
    record_.flags &= ~platform::kNifInfo;
}

// The shell sends the callback message to the box's window; taken as a mouse
// move, its x is the mouse message code, in the box's twips.
void CTray::mPic_MouseMove(double x) {
    const int code = static_cast<int>(std::lround(x / ui::kTwipsPerPixel));
    // A notification that arrives while a handler runs (the pop-up menu's own
    // loop) is dropped, not queued.
    if (busy_) return;
    busy_ = true;
    const ui::Event* event = nullptr;
    switch (code) {
        case kLButtonDown: event = &LButtonDown; break;
        case kLButtonUp: event = &LButtonUp; break;
        case kLButtonDblClk: event = &LButtonDblClick; break;
        case kRButtonDown: event = &RButtonDown; break;
        case kRButtonUp: event = &RButtonUp; break;
        case kRButtonDblClk: event = &RButtonDblClick; break;
        default: break;
    }
    try {
        if (event != nullptr && *event) (*event)();
    } catch (...) {
        busy_ = false;
        throw;
    }
    busy_ = false;
}

void CTray::mPic_Change() {
    record_.icon = mPic->Picture().get();
    ModifyIcon();
}

}  // namespace purgix::tray
