#pragma once

// The media-format module, libwmvcore.so beside the program, which the WMA tag code loads at run
// time for every read and write. Its one export, WMCreateEditor, hands out a metadata editor
// with COM-style interfaces: abstract classes whose virtual methods are only ever appended to,
// fixed-width types, no exceptions and no standard-library types across the boundary, so the
// program and the module may be built apart. Objects are counted: every pointer handed out is
// returned with Release.
//
// Attributes live in one list per file. Stream 0xFFFF means every stream; any other stream
// number narrows the list to that stream's attributes, and indices count within that view.
// File-level (stream 0) attributes come first, so their indices agree in both views. The list
// starts with figures derived from the header, which are read-only:
//   "Duration"  QWORD  play time in 100-ns units (preroll taken off)
//   "Bitrate"   DWORD  bits per second
//   "FileSize"  QWORD  bytes on disk
// followed by the content description ("Title", "Author", "Copyright", "Description",
// "Rating", each only when not empty) and then the file's other attributes in name order.
//
// Values travel in host byte order: DWORD 4 bytes, QWORD 8, WORD 2, BOOL 4 (non-zero is true),
// GUID 16, STRING UTF-16 with its terminating zero included in the length the module reports
// (a value handed in needs none). Names are UTF-16 and zero-terminated; name lengths count
// UTF-16 units including the zero.

#include <cstdint>

using WMHRESULT = std::int32_t;

constexpr WMHRESULT WM_S_OK = 0;
constexpr WMHRESULT WM_E_FAIL = static_cast<WMHRESULT>(0x80004005u);
constexpr WMHRESULT WM_E_NOINTERFACE = static_cast<WMHRESULT>(0x80004002u);
constexpr WMHRESULT WM_E_UNEXPECTED = static_cast<WMHRESULT>(0x8000FFFFu);  // no file open
constexpr WMHRESULT WM_E_INVALIDARG = static_cast<WMHRESULT>(0x80070057u);
constexpr WMHRESULT WM_E_OUTOFMEMORY = static_cast<WMHRESULT>(0x8007000Eu);
constexpr WMHRESULT WM_E_FILENOTFOUND = static_cast<WMHRESULT>(0x80070002u);
constexpr WMHRESULT WM_E_ACCESSDENIED = static_cast<WMHRESULT>(0x80070005u);  // read-only figure
constexpr WMHRESULT WM_E_BADFORMAT = static_cast<WMHRESULT>(0x8007000Bu);     // not an ASF file
constexpr WMHRESULT WM_E_WRITEFAULT = static_cast<WMHRESULT>(0x8007001Du);    // header not saved
constexpr WMHRESULT WM_E_BUFFERTOOSMALL = static_cast<WMHRESULT>(0x8007007Au);

constexpr bool WMFailed(WMHRESULT result) {
    return result < 0;
}

enum WMT_ATTR_DATATYPE : std::uint32_t {
    WMT_TYPE_DWORD = 0,
    WMT_TYPE_STRING = 1,
    WMT_TYPE_BINARY = 2,
    WMT_TYPE_BOOL = 3,
    WMT_TYPE_QWORD = 4,
    WMT_TYPE_WORD = 5,
    WMT_TYPE_GUID = 6,
};

// Every stream of the file, for the queries that walk or search the attributes.
constexpr std::uint16_t WM_ALL_STREAMS = 0xFFFF;

struct WMGUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend constexpr bool operator==(const WMGUID&, const WMGUID&) = default;
};

constexpr WMGUID IID_IWMUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr WMGUID IID_IWMMetadataEditor = {
    0x96406BD9, 0x2B2B, 0x11D3, {0xB3, 0x6B, 0x00, 0xC0, 0x4F, 0x61, 0x08, 0xFF}};
constexpr WMGUID IID_IWMHeaderInfo3 = {
    0x15CC68E3, 0x27CC, 0x4ECD, {0xB2, 0x22, 0x3F, 0x5D, 0x02, 0xD8, 0x0B, 0xD5}};

class IWMUnknown {
public:
    // On success *object holds a counted pointer to the asked interface; otherwise nullptr.
    virtual WMHRESULT QueryInterface(const WMGUID* iid, void** object) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

protected:
    ~IWMUnknown() = default;
};

class IWMMetadataEditor : public IWMUnknown {
public:
    // Reads the file's header; one file per editor.
    virtual WMHRESULT Open(const char16_t* fileName) = 0;
    // Ends editing without writing; harmless when nothing is open.
    virtual WMHRESULT Close() = 0;
    // Writes the changed header to the file.
    virtual WMHRESULT Flush() = 0;

protected:
    ~IWMMetadataEditor() = default;
};

class IWMHeaderInfo3 : public IWMUnknown {
public:
    virtual WMHRESULT GetAttributeCountEx(std::uint16_t stream, std::uint16_t* count) = 0;
    // Two-call protocol: with name and/or value null, only *nameLength (UTF-16 units) and
    // *valueLength (bytes) are set; with buffers of at least those sizes, they are filled.
    // type and language may be null.
    virtual WMHRESULT GetAttributeByIndexEx(std::uint16_t stream, std::uint16_t index,
                                            char16_t* name, std::uint16_t* nameLength,
                                            WMT_ATTR_DATATYPE* type, std::uint16_t* language,
                                            std::uint8_t* value, std::uint32_t* valueLength) = 0;
    // Indices of the attributes of that name, compared without regard to ASCII case. language
    // null means any language. With indices null only *count is set; otherwise *count says how
    // many entries the buffer holds and receives how many were found.
    virtual WMHRESULT GetAttributeIndices(std::uint16_t stream, const char16_t* name,
                                          const std::uint16_t* language, std::uint16_t* indices,
                                          std::uint16_t* count) = 0;
    virtual WMHRESULT ModifyAttribute(std::uint16_t stream, std::uint16_t index,
                                      WMT_ATTR_DATATYPE type, std::uint16_t language,
                                      const std::uint8_t* value, std::uint32_t length) = 0;
    // *index receives the new attribute's index in the stream's view; index may be null.
    virtual WMHRESULT AddAttribute(std::uint16_t stream, const char16_t* name, std::uint16_t* index,
                                   WMT_ATTR_DATATYPE type, std::uint16_t language,
                                   const std::uint8_t* value, std::uint32_t length) = 0;
    virtual WMHRESULT DeleteAttribute(std::uint16_t stream, std::uint16_t index) = 0;

protected:
    ~IWMHeaderInfo3() = default;
};

// The export the program looks up by name: a new editor with one reference.
extern "C" WMHRESULT WMCreateEditor(IWMMetadataEditor** editor);
using WMCreateEditorProc = WMHRESULT (*)(IWMMetadataEditor** editor);

// The module's file name in the program's folder.
constexpr const char* WMVCORE_MODULE_NAME = "libwmvcore.so";
