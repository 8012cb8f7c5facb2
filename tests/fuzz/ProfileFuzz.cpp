// The program's start-up over hostile stores: the option values, the saved
// skin name and a skin's keys come from the input. Whatever they hold, start-up
// and the skin handler end (cleanly or at a failed step) and shutdown writes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "app/FrmMain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Fields separated by 0xFF: seven options, the saved name, then the skin's four keys.
    std::vector<std::string> fields(12);
    std::size_t f = 0;
    for (std::size_t i = 0; i < size && f < fields.size(); ++i) {
        if (data[i] == 0xFF)
            ++f;
        else
            fields[f].push_back(static_cast<char>(data[i]));
    }
    purgix::testing::FakePlatform fake;
    const char* keys[] = {"lessc", "less", "intervalc", "interval", "precent", "minimized", "stayontop"};
    for (int k = 0; k < 7; ++k)
        if (!fields[static_cast<std::size_t>(k)].empty()) fake.store[std::string("purgix\\options\\") + keys[k]] = fields[static_cast<std::size_t>(k)];
    fake.folders["C:\\Tools\\Skin"] = {"A.ini", "B.ini"};
    fake.profiles["c:\\tools\\config.inf"]["configskin"]["skin"] = fields[7];
    auto& skin = fake.profiles["c:\\tools\\skin\\a.ini"]["skin"];
    skin["color_obj3d"] = fields[8];
    skin["color_back"] = fields[9];
    skin["color_column"] = fields[10];
    skin["bg"] = fields[11];
    fake.pictureFiles["C:\\Tools\\Skin\\" + fields[11]] = std::make_shared<purgix::testing::FakePicture>("bg", 480, 210);
    purgix::app::FrmMain frm(fake.platform, fake);
    frm.Load();
    frm.mSSkin[0]->Click();
    frm.RefreshMEM();
    frm.form.Unload();
    return 0;
}
