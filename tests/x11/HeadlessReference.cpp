#include "HeadlessReference.h"

#include "shell/vstPluginMain.h"

HeadlessReference::HeadlessReference(float contentScale) : plugin(&VSTPluginMain) {
    if (contentScale > 0.0f) {
        plugin.setContentScale(contentScale);
    }
    plugin.editOpen(window.handle());
    idle();
}

HeadlessReference::~HeadlessReference() {
    plugin.editClose();
}

void HeadlessReference::idle() {
    plugin.editIdle();
}

void HeadlessReference::click(int32_t x, int32_t y) {
    window.click(x, y);
    idle();
}

void HeadlessReference::choose(int32_t x, int32_t y, int32_t choice) {
    window.scriptPopupChoice(choice);
    click(x, y);
}

std::vector<uint32_t> HeadlessReference::picture() const {
    std::vector<uint32_t> rgb = window.pixels();
    for (uint32_t& p : rgb) {
        p &= 0xFFFFFFu;
    }
    return rgb;
}
