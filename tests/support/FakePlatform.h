#pragma once
// An in-memory stand-in for the operating system that records what was asked of it.
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace purgix::testing {

class FakePicture : public ui::Picture {
public:
    FakePicture(std::string name, int w, int h) : what(std::move(name)), w_(w), h_(h) {}
    int Width() const override { return w_; }
    int Height() const override { return h_; }
    std::string what;

private:
    int w_, h_;
};

class FakePlatform : public platform::MemoryStatusSource,
                     public platform::MemoryBlocks,
                     public platform::Keyboard,
                     public platform::WindowOrder,
                     public platform::Locale,
                     public platform::Shell,
                     public platform::Pictures,
                     public platform::FileSystem {
public:
    FakePlatform() : platform{*this, *this, *this, *this, *this, *this, *this, *this} {}

    // MemoryStatusSource
    void GlobalMemoryStatus(platform::MemoryStatus& record) override {
        ++samples;
        record = memory;
    }
    // MemoryBlocks: records the request and never allocates.
    bool WriteBlankBlock(std::uint64_t bytes) override {
        calls.push_back("WriteBlankBlock(" + std::to_string(bytes) + ")");
        if (onBlock) onBlock();
        return !blocksFail;
    }
    // Keyboard
    std::int16_t GetAsyncKeyState(int vk) override {
        ++keyPolls;
        auto it = keys.find(vk);
        return it == keys.end() ? 0 : it->second;
    }
    // WindowOrder
    void SetWindowPos(ui::WindowHandle, std::intptr_t insertAfter, int, int, int, int, unsigned flags) override {
        calls.push_back("SetWindowPos(" + std::to_string(insertAfter) + "," + std::to_string(flags) + ")");
    }
    // Locale
    platform::NumberSeparators Separators() override { return separators; }
    // Shell
    void Run(const std::string& commandLine, int showState) override {
        calls.push_back("Run(" + commandLine + "," + std::to_string(showState) + ")");
        if (runFails) throw std::runtime_error("cannot start");
    }
    void ShowMessage(const std::string& text, const std::string& title) override {
        calls.push_back("ShowMessage(" + text + "," + title + ")");
        if (onMessage) onMessage();
    }
    void SetMousePointer(ui::MousePointer p) override { calls.push_back("SetMousePointer(" + std::to_string(static_cast<int>(p)) + ")"); }
    // Pictures
    ui::PicturePtr Resource(platform::ResourcePicture which) override;
    // FileSystem
    std::string ModulePath() override { return modulePath; }
    std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) override;

    platform::Platform platform;
    platform::MemoryStatus memory;
    int samples = 0;
    std::map<int, std::int16_t> keys;
    int keyPolls = 0;
    bool blocksFail = false;
    std::function<void()> onBlock;    // runs while the block is "held"
    std::function<void()> onMessage;  // runs while the message box is "open"
    platform::NumberSeparators separators;
    bool runFails = false;
    std::string modulePath = "C:\\Tools\\Purgix.exe";
    std::map<std::string, std::vector<std::string>> folders;  // folder -> files
    std::vector<std::string> calls;
};

}  // namespace purgix::testing
