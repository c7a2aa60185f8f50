#pragma once

#include <taglib/asffile.h>
#include <taglib/tstring.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/wmvcore/tasffileproperties.h"
#include "platform/wmvcore/wmvcore.h"
#include "tags/unifile.h"

// The metadata editor the module hands out: one ASF file's attributes as the flat list that
// wmvcore.h describes, read and written through TagLib. Nothing reaches the file before Flush.
// No method lets an exception out; every failure is a WMHRESULT.
class TAsfEditor final : public IWMMetadataEditor, public IWMHeaderInfo3 {
public:
    TAsfEditor();
    TAsfEditor(const TAsfEditor&) = delete;
    TAsfEditor& operator=(const TAsfEditor&) = delete;

    WMHRESULT QueryInterface(const WMGUID* iid, void** object) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;

    WMHRESULT Open(const char16_t* fileName) override;
    WMHRESULT Close() override;
    WMHRESULT Flush() override;

    WMHRESULT GetAttributeCountEx(std::uint16_t stream, std::uint16_t* count) override;
    WMHRESULT GetAttributeByIndexEx(std::uint16_t stream, std::uint16_t index, char16_t* name,
                                    std::uint16_t* nameLength, WMT_ATTR_DATATYPE* type,
                                    std::uint16_t* language, std::uint8_t* value,
                                    std::uint32_t* valueLength) override;
    WMHRESULT GetAttributeIndices(std::uint16_t stream, const char16_t* name,
                                  const std::uint16_t* language, std::uint16_t* indices,
                                  std::uint16_t* count) override;
    WMHRESULT ModifyAttribute(std::uint16_t stream, std::uint16_t index, WMT_ATTR_DATATYPE type,
                              std::uint16_t language, const std::uint8_t* value,
                              std::uint32_t length) override;
    WMHRESULT AddAttribute(std::uint16_t stream, const char16_t* name, std::uint16_t* index,
                           WMT_ATTR_DATATYPE type, std::uint16_t language,
                           const std::uint8_t* value, std::uint32_t length) override;
    WMHRESULT DeleteAttribute(std::uint16_t stream, std::uint16_t index) override;

private:
    ~TAsfEditor();

    // Where an entry of the list comes from.
    enum class TSource { Figure, Content, Extended };
    // The content description's five texts, in list order.
    enum TContentField { cfTitle, cfAuthor, cfCopyright, cfDescription, cfRating, cfCount };

    struct TEntry {
        TagLib::String Name;
        TSource Source = TSource::Figure;
        int Field = 0;  // TContentField of a Content entry; place in its name's list otherwise
        int Stream = 0;
        int Language = 0;
        WMT_ATTR_DATATYPE Type = WMT_TYPE_STRING;
        const TagLib::ASF::Attribute* Attribute = nullptr;  // an Extended entry's value
    };

    // The entries a stream sees, in index order; at most 0xFFFF. Kept until the next change,
    // so walking a header of many thousand attributes by index takes linear time, not square.
    const std::vector<TEntry>& Entries(std::uint16_t stream) const;
    // Forgets the kept entries; every change of the attributes calls it.
    void Changed() { entries_.clear(); }
    // Writes the header into a copy of the file and puts the copy in the file's place through
    // the file layer's save (locked, on disk, renamed over the file, the file's owner and
    // attributes kept), once the copy is known to hold all of the file's media.
    bool SaveThroughCopy();
    void AddFigures(std::vector<TEntry>& entries) const;
    void AddContent(std::vector<TEntry>& entries) const;
    void AddExtended(std::vector<TEntry>& entries) const;

    // An entry's value as the interface hands it out (see wmvcore.h).
    TagLib::ByteVector Value(const TEntry& entry) const;

    TagLib::String ContentText(int field) const;
    void SetContentText(int field, const TagLib::String& text);

    // Fills entry with the one at index of the stream's view; WM_E_INVALIDARG when there is none.
    WMHRESULT Find(std::uint16_t stream, std::uint16_t index, TEntry& entry) const;
    // Index of the first entry of that source, name and place in the stream's view, or -1.
    int IndexOf(std::uint16_t stream, TSource source, const TagLib::String& name, int field) const;

    std::atomic<std::uint32_t> references_{1};
    std::unique_ptr<TagLib::ASF::File> file_;
    std::u16string fileName_;
    // The file as it was read: a save refuses to overwrite a later version of it.
    TFileVersion version_;
    mutable std::map<std::uint16_t, std::vector<TEntry>> entries_;
    TAsfFileProperties properties_;
    std::uint64_t fileSize_ = 0;
};
