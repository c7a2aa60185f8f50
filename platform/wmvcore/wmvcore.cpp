#include "platform/wmvcore/wmvcore.h"

#include <new>

#include "platform/wmvcore/tasfeditor.h"

extern "C" __attribute__((visibility("default"))) WMHRESULT WMCreateEditor(
    IWMMetadataEditor** editor) {
    if (editor == nullptr) {
        return WM_E_INVALIDARG;
    }
    *editor = new (std::nothrow) TAsfEditor();
    return *editor != nullptr ? WM_S_OK : WM_E_OUTOFMEMORY;
}
