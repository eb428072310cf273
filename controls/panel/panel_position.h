// TPanelPosition: whether and where a panel saves its position and size (the registry key or
// ini file section); the panel reads and writes it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ui/core/persistent.h"

namespace panel {

class TCustomFinePanel;

enum class TPanelPositionLocation : std::uint8_t { clRegistry, clInifile };

class TPanelPosition : public ui::TPersistent {
public:
    explicit TPanelPosition(TCustomFinePanel* panel = nullptr) : panel_(panel) {}

    std::string ClassName() const override { return "TPanelPosition"; }
    // Copies Key, Section, Save and Location; raises EInvalidCast for any other source.
    void Assign(const ui::TPersistent* source) override;

    bool Save() const { return save_; }
    void SetSave(bool value) { save_ = value; }
    const std::string& Key() const { return key_; }
    void SetKey(const std::string& value) { key_ = value; }
    const std::string& Section() const { return section_; }
    void SetSection(const std::string& value) { section_ = value; }
    TPanelPositionLocation Location() const { return location_; }
    void SetLocation(TPanelPositionLocation value) { location_ = value; }

    TCustomFinePanel* Panel() const { return panel_; }

private:
    TCustomFinePanel* panel_;
    bool save_ = false;
    std::string key_;
    std::string section_;
    TPanelPositionLocation location_ = TPanelPositionLocation::clRegistry;
};

}  // namespace panel
