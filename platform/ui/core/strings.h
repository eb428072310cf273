// TStrings and TStringList: an ordered list of texts with change events, as the class library
// keeps the choices of drop-down editors and similar lists.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/core/persistent.h"

namespace ui {

class TStrings : public TPersistent {
public:
    std::string ClassName() const override { return "TStrings"; }

    virtual int Count() const = 0;
    // Raise EStringListError "List index out of bounds (<index>)" outside 0..Count-1.
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& text) = 0;
    virtual void Insert(int index, const std::string& text) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    int Add(const std::string& text);
    int IndexOf(const std::string& text) const;  // exact, -1 when absent
    // Lines joined with "\n"; the setter splits on "\r\n", "\n" and "\r".
    std::string Text() const;
    void SetText(const std::string& text);

    // Change events are held back while an update is open and sent once at its end.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return update_count_; }

    // Copies the texts of another TStrings; anything else goes to the inherited rule.
    void Assign(const TPersistent* source) override;
    bool Equals(const TStrings& other) const;

protected:
    // Called when the update count changes between 0 and 1 (entering true when it opens).
    virtual void SetUpdateState(bool updating) { (void)updating; }

private:
    int update_count_ = 0;
};

class TStringList : public TStrings {
public:
    std::string ClassName() const override { return "TStringList"; }

    int Count() const override { return static_cast<int>(items_.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& text) override;
    void Insert(int index, const std::string& text) override;
    void Delete(int index) override;
    void Clear() override;

    // Fired before and after every change, once per update bracket.
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    void SetUpdateState(bool updating) override;

private:
    void Changing();
    void Changed();
    void CheckIndex(int index, int limit) const;

    std::vector<std::string> items_;
};

}  // namespace ui
