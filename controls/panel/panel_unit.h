// The panel subsystem's start and end, once per process: the visual-styles library is bound
// before the first window is made and released after the last one is gone. The program makes
// it before the menus' unit (the visual styles are bound before the text-drawing API starts), so
// that it ends after that unit.
#pragma once

namespace panel {

class TPanelUnit {
public:
    TPanelUnit();
    ~TPanelUnit();
    TPanelUnit(const TPanelUnit&) = delete;
    TPanelUnit& operator=(const TPanelUnit&) = delete;
};

}  // namespace panel
