// A control offering a list of entries in a popup menu; it shows the text
// of its current entry. An entry "-" is a separator: drawn as a line in the
// popup, never chosen, but counted like any entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/CParamDisplay.h"

class COptionMenu : public CParamDisplay {
public:
    // Style bits.
    enum : int32_t {
        // Each entry shows its own check flag; making an entry current
        // toggles its flag.
        kMultipleCheckStyle = 1,
        // The current entry shows a check mark (not with kMultipleCheckStyle).
        kCheckStyle = 1024,
    };
    static constexpr int32_t kMaxEntries = 1024;
    static constexpr size_t kMaxEntryLength = 255;

    COptionMenu(const CRect& size, CControlListener* listener, int32_t tag,
                CBitmap* background = nullptr, int32_t style = 0);

    // Texts longer than 255 characters are cut; false when the menu is full.
    bool addEntry(const char* text);
    int32_t getNbEntries() const { return int32_t(entries.size()); }
    // The entry's text, or null for an index out of range.
    const char* getEntry(int32_t index) const;
    bool isSeparator(int32_t index) const;
    void removeAllEntry();

    // -1 while there are no entries.
    int32_t getCurrent() const { return current; }
    // Makes the entry current (and toggles its check flag in multiple-check
    // style); false for an index out of range.
    bool setCurrent(int32_t index);
    // The value is the current entry's index.
    void setValue(float newValue) override;

    bool checkEntry(int32_t index, bool state);
    bool isCheckEntry(int32_t index) const;

    void draw(CDrawContext* context) override;
    // A left or right click begins an edit and pops the menu up under the
    // control; popupClosed ends the edit, now or once the user decides.
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons) override;
    // The popup's outcome, from the frame: a chosen entry is made current
    // and reported to the listener (-1 or a separator changes nothing);
    // then the edit ends.
    void popupClosed(CDrawContext* context, int32_t chosen);

private:
    struct Entry {
        char text[kMaxEntryLength + 1];
        bool checked;
    };
    bool validIndex(int32_t index) const { return index >= 0 && index < getNbEntries(); }

    std::vector<Entry> entries;
    int32_t current = -1;
};
