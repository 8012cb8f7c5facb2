// The options page, the switching between the window's three pages, and the
// start-up and shutdown steps that carry the options to and from the store.
#include <string>

#include "app/FrmMain.h"
#include "memory/Release.h"

namespace purgix::app {

namespace {
// Where the page indicator stands for each page: its lower edge meets the page's.
constexpr int kIndicatorTop[3] = {88, 144, 128};
}  // namespace

void FrmMain::WireOptions() {
    ImgTab.Click = [this] { ImgTab_Click(); };
    VScroll1.Change = [this] { VScroll1_Change(); };
    VScroll2.Change = [this] { VScroll2_Change(); };
    VScroll3.Change = [this] { VScroll3_Change(); };
    mTrayLoad->Click = [this] { mTrayLoad_Click(); };
    mNotify->Click = [this] { mNotify_Click(); };
    mHotKey->Click = [this] { mHotKey_Click(); };
}

void FrmMain::ImgTab_Click() {
    pageIndex_ += 1;
    if (pageIndex_ > 2) pageIndex_ = 0;
    ImgLstView.SetPicture(ImgLst[static_cast<std::size_t>(pageIndex_)].Picture());
    switch (pageIndex_) {
        case 0:
            PicTable.ZOrder();
            PicChart.SetVisible(false);
            PicTable.SetVisible(true);
            break;
        case 1:
            PicChart.ZOrder();
            PicChart.SetVisible(true);
            PicTable.SetVisible(false);
            break;
        default:
            // With both boxes hidden the options controls beneath them show.
            PicChart.SetVisible(false);
            PicTable.SetVisible(false);
            break;
    }
    ImgLstView.SetTop(kIndicatorTop[pageIndex_]);
}

void FrmMain::VScroll1_Change() { Text1.SetText(std::to_string(VScroll1.Value())); }
void FrmMain::VScroll2_Change() { Text2.SetText(std::to_string(VScroll2.Value()) + "%"); }
void FrmMain::VScroll3_Change() { Text3.SetText(std::to_string(VScroll3.Value()) + "%"); }

std::string FrmMain::Setting(const char* key, const char* def) {
    return platform_.settings.GetSetting(exeName_, settings::kSection, key, def);
}

void FrmMain::SaveSetting(const char* key, const std::string& value) {
    if (!platform_.settings.SaveSetting(exeName_, settings::kSection, key, value))
        platform_.diagnostics.Trace("settings", std::string(key) + " = " + value + " could not be saved");
}

// A spinner's stored number, in the reading order. One the conversion rejects
// takes the default and one outside the spinner's bounds the nearer bound, so
// that the box shows what exit will write; such a value is still the failure
// of its step, and ends start-up there as any other failed step does.
void FrmMain::LoadSpinner(ui::VScrollBar& scroll, const char* key, int def) {
    const std::string text = Setting(key, std::to_string(def).c_str());
    const settings::Bounded stored = settings::ToBounded(text, scroll.Min(), scroll.Max(), def);
    scroll.SetValue(stored.value);
    if (!stored.accepted) throw settings::ConversionError(std::string(key) + " is no number from " + std::to_string(scroll.Min()) + " to " +
                                                          std::to_string(scroll.Max()) + ": " + text);
}

void FrmMain::LoadOptions() {
    using settings::ToInteger16;
    namespace key = settings::key;
    Check2.SetValue(ToInteger16(Setting(key::kLessC, "1")));
    LoadSpinner(VScroll2, key::kLess, 15);
    Check1.SetValue(ToInteger16(Setting(key::kIntervalC, "1")));
    LoadSpinner(VScroll1, key::kInterval, 5);
    LoadSpinner(VScroll3, key::kPrecent, memory::kDefaultReleasePercent);
    Check3.SetValue(ToInteger16(Setting(key::kMinimized, "0")));
}

// Read before the seven, and unable to fail: a junk value here reads as the
// default, and one of the seven that ends start-up early leaves these read.
void FrmMain::LoadSwitches() {
    namespace key = settings::key;
    mTrayLoad->SetChecked(settings::SwitchValue(Setting(key::kTrayLoad, "0"), false));
    mNotify->SetChecked(settings::SwitchValue(Setting(key::kNotify, "0"), false));
    mHotKey->SetChecked(settings::SwitchValue(Setting(key::kHotKey, "1"), true));
    ShowTrayLoad();
}

// Whatever start-up reached, each box shows its spinner's value in the box's
// own form: the design's texts and the stored ones alike give way to it.
void FrmMain::ShowSpinnerValues() {
    VScroll1_Change();
    VScroll2_Change();
    VScroll3_Change();
}

void FrmMain::HideIfMinimized() {
    if (Check3.Value() == 1) {
        startHidden_ = true;
        form.SetVisible(false);
    }
}

void FrmMain::ReadStartWithWindows() { Check4.SetValue(startEntry_.IsSet() ? 1 : 0); }

void FrmMain::RestoreStayOnTop() {
    mStayOnTop->SetChecked(settings::ToBoolean(Setting(settings::key::kStayOnTop, "1")));
    if (mStayOnTop->Checked())
        platform_.zOrder.SetWindowPos(form.Handle(), strNotAlwaysOnTop - 1, 0, 0, 0, 0, platform::kSwpNoSizeNoMove);
}

void FrmMain::SaveOptions() {
    namespace key = settings::key;
    SaveSetting(key::kLessC, std::to_string(Check2.Value()));
    SaveSetting(key::kLess, std::to_string(VScroll2.Value()));
    SaveSetting(key::kIntervalC, std::to_string(Check1.Value()));
    SaveSetting(key::kInterval, std::to_string(VScroll1.Value()));
    SaveSetting(key::kPrecent, std::to_string(VScroll3.Value()));
    SaveSetting(key::kStayOnTop, settings::BooleanText(mStayOnTop->Checked()));
    SaveSetting(key::kMinimized, std::to_string(Check3.Value()));
    SaveSetting(key::kTrayLoad, settings::SwitchText(mTrayLoad->Checked()));
    SaveSetting(key::kNotify, settings::SwitchText(mNotify->Checked()));
    SaveSetting(key::kHotKey, settings::SwitchText(mHotKey->Checked()));
}

void FrmMain::SaveStartWithWindows() {
    // Rewritten at every exit, so that a moved program's entry follows it.
    if (Check4.Value() == 1)
        startEntry_.Set();
    else
        startEntry_.Clear();
}

}  // namespace purgix::app
