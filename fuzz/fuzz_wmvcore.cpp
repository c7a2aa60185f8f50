// The WMA metadata module's editor over any bytes: open, walk every attribute through the
// two-call protocol, change the title, write, and read it back. The bytes behind the header
// (the audio) are carried over unchanged.
#include <algorithm>
#include <cstring>

#include "fuzzfile.h"
#include "platform/wmvcore/wmvcore.h"

namespace {

std::uint64_t HeaderSize(const std::vector<std::uint8_t>& file) {
    std::uint64_t size = 0;
    for (int i = 7; i >= 0 && file.size() >= 24; --i) {
        size = size << 8 | file[16 + static_cast<std::size_t>(i)];
    }
    return size;
}

struct Editor {
    IWMMetadataEditor* editor = nullptr;
    IWMHeaderInfo3* header = nullptr;

    explicit Editor(const std::u16string& name) {
        FUZZ_CHECK(WMCreateEditor(&editor) == WM_S_OK);
        if (WMFailed(editor->Open(name.c_str()))) {
            return;
        }
        void* info = nullptr;
        FUZZ_CHECK(editor->QueryInterface(&IID_IWMHeaderInfo3, &info) == WM_S_OK);
        header = static_cast<IWMHeaderInfo3*>(info);
    }
    ~Editor() {
        if (header != nullptr) {
            header->Release();
        }
        editor->Close();
        editor->Release();
    }
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Reads every attribute; the sizes the first call gives are the sizes the second fills.
    void Walk() const {
        std::uint16_t count = 0;
        FUZZ_CHECK(header->GetAttributeCountEx(WM_ALL_STREAMS, &count) == WM_S_OK);
        for (std::uint16_t i = 0; i < count; ++i) {
            std::uint16_t nameLength = 0;
            std::uint32_t valueLength = 0;
            WMT_ATTR_DATATYPE type{};
            std::uint16_t language = 0;
            if (WMFailed(header->GetAttributeByIndexEx(WM_ALL_STREAMS, i, nullptr, &nameLength,
                                                       &type, &language, nullptr, &valueLength))) {
                continue;
            }
            std::vector<char16_t> name(nameLength);
            std::vector<std::uint8_t> value(valueLength);
            FUZZ_CHECK(header->GetAttributeByIndexEx(WM_ALL_STREAMS, i, name.data(), &nameLength,
                                                     &type, &language, value.data(),
                                                     &valueLength) == WM_S_OK);
            FUZZ_CHECK(nameLength == name.size() && valueLength == value.size());
        }
    }

    std::u16string Title() const {
        std::uint16_t index = 0;
        std::uint16_t count = 1;
        if (WMFailed(
                header->GetAttributeIndices(WM_ALL_STREAMS, u"Title", nullptr, &index, &count)) ||
            count == 0) {
            return {};
        }
        std::uint16_t nameLength = 0;
        std::uint32_t valueLength = 0;
        FUZZ_CHECK(header->GetAttributeByIndexEx(WM_ALL_STREAMS, index, nullptr, &nameLength,
                                                 nullptr, nullptr, nullptr,
                                                 &valueLength) == WM_S_OK);
        std::vector<std::uint8_t> value(valueLength);
        FUZZ_CHECK(header->GetAttributeByIndexEx(WM_ALL_STREAMS, index, nullptr, &nameLength,
                                                 nullptr, nullptr, value.data(),
                                                 &valueLength) == WM_S_OK);
        std::u16string text(valueLength / 2, u'\0');
        std::memcpy(text.data(), value.data(), text.size() * 2);
        while (!text.empty() && text.back() == u'\0') {
            text.pop_back();
        }
        return text;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FuzzFile file(".wma");
    file.Write(data, size);
    const std::vector<std::uint8_t> old(data, data + size);
    const std::u16string title = u"Fuzzed \u00e9";
    {
        Editor editor(file.Name());
        if (editor.header == nullptr) {
            return 0;
        }
        editor.Walk();
        const auto* value = reinterpret_cast<const std::uint8_t*>(title.data());
        const auto length = static_cast<std::uint32_t>(title.size() * 2);
        std::uint16_t index = 0;
        std::uint16_t count = 1;
        const bool has = !WMFailed(editor.header->GetAttributeIndices(WM_ALL_STREAMS, u"Title",
                                                                      nullptr, &index, &count)) &&
                         count > 0;
        const WMHRESULT set =
            has ? editor.header->ModifyAttribute(0, index, WMT_TYPE_STRING, 0, value, length)
                : editor.header->AddAttribute(0, u"Title", nullptr, WMT_TYPE_STRING, 0, value,
                                              length);
        if (WMFailed(set) || WMFailed(editor.editor->Flush())) {
            return 0;
        }
    }
    Editor again(file.Name());
    FUZZ_CHECK(again.header != nullptr);
    again.Walk();
    FUZZ_CHECK(again.Title() == title);
    const std::vector<std::uint8_t> saved = file.Read();
    const std::uint64_t oldHeader = HeaderSize(old);
    const std::uint64_t newHeader = HeaderSize(saved);
    if (oldHeader <= old.size() && newHeader <= saved.size()) {
        FUZZ_CHECK(saved.size() - newHeader == old.size() - oldHeader);
        FUZZ_CHECK(std::equal(old.begin() + static_cast<std::ptrdiff_t>(oldHeader), old.end(),
                              saved.begin() + static_cast<std::ptrdiff_t>(newHeader)));
    }
    return 0;
}
