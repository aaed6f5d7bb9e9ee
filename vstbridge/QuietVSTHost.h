// A host that answers nothing, for programs that only read and write an effect's state
// (build-time generators, fuzz targets): no editor, no processing, no time.
#pragma once

#include "vstbridge/VSTHost.h"

class QuietVSTHost final : public VSTHost {
public:
    void getVendor(VSTPlugIn&, char* text) override { *text = 0; }
    void getProduct(VSTPlugIn&, char* text) override { *text = 0; }
    int getVersion(VSTPlugIn&) override { return 0; }
    bool canDo(VSTPlugIn&, const char*) override { return false; }
    VstTimeInfo* getTimeInfo(VSTPlugIn&, int) override { return nullptr; }
    void beginEdit(VSTPlugIn&, int) override {}
    void automate(VSTPlugIn&, int, float) override {}
    void endEdit(VSTPlugIn&, int) override {}
    bool isIOPinConnected(VSTPlugIn&, bool, int) override { return true; }
    void idle(VSTPlugIn&) override {}
    void updateDisplay(VSTPlugIn&) override {}
    void resizeWindow(VSTPlugIn&, int, int) override {}
};
