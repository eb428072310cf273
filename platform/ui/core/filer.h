// Properties an object streams itself, beside its published ones. An object names them in
// TPersistent::DefineProperties; the form writer stores each one that has data, the form reader
// hands each stored value back to the object.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ui {

class TPersistent;
class TStream;

class TFiler {
public:
    using TReadInteger = std::function<void(std::int32_t value)>;
    using TWriteInteger = std::function<std::int32_t()>;
    // A binary property reads its value from, and writes it to, a stream of its own bytes.
    using TStreamProc = std::function<void(TStream& stream)>;

    explicit TFiler(const TPersistent* ancestor = nullptr) : ancestor_(ancestor) {}
    virtual ~TFiler() = default;
    // `has_data` false leaves the property out of the stream (the object's default stands).
    virtual void DefineIntegerProperty(const std::string& name, const TReadInteger& read, const TWriteInteger& write,
                                       bool has_data) = 0;
    virtual void DefineBinaryProperty(const std::string& name, const TStreamProc& read, const TStreamProc& write,
                                      bool has_data) = 0;

    // The object whose values this object's are written against (an inherited form's), or
    // nullptr: a property equal to its ancestor's need not be written.
    const TPersistent* Ancestor() const { return ancestor_; }

private:
    const TPersistent* ancestor_;
};

// Writes the defined properties of objects as property lists of the form stream: each property
// is its name (a length byte and the characters) and its value: an integer in its smallest kind
// (value-type byte 2, 3 or 4, then 1, 2 or 4 little-endian bytes), or binary data (value-type
// byte 10, its length as 4 little-endian bytes, then the bytes); an empty name ends the list.
class TWriter : public TFiler {
public:
    explicit TWriter(TStream& stream, const TPersistent* ancestor = nullptr) : TFiler(ancestor), stream_(stream) {}
    void DefineIntegerProperty(const std::string& name, const TReadInteger& read, const TWriteInteger& write,
                               bool has_data) override;
    void DefineBinaryProperty(const std::string& name, const TStreamProc& read, const TStreamProc& write,
                              bool has_data) override;

private:
    void WriteName(const std::string& name);

    TStream& stream_;
};

// Reads one property list and gives each value to the object that defines a property of its name
// and kind. A broken list, or binary data longer than the stream holds, raises EReadError before
// anything is handed on; values of names nobody defines are skipped.
class TReader : public TFiler {
public:
    explicit TReader(TStream& stream);
    void DefineIntegerProperty(const std::string& name, const TReadInteger& read, const TWriteInteger& write,
                               bool has_data) override;
    void DefineBinaryProperty(const std::string& name, const TStreamProc& read, const TStreamProc& write,
                              bool has_data) override;

private:
    std::map<std::string, std::int32_t> values_;
    std::map<std::string, std::vector<std::uint8_t>> binaries_;
};

// One object's defined properties as one property list (against `ancestor`'s when given), and back.
void WriteDefinedProperties(TPersistent& object, TStream& stream, const TPersistent* ancestor = nullptr);
void ReadDefinedProperties(TPersistent& object, TStream& stream);

}  // namespace ui
