// Properties an object streams itself, beside its published ones. An object names them in
// TPersistent::DefineProperties; the form writer stores each one that has data, the form reader
// hands each stored value back to the object.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace ui {

class TPersistent;
class TStream;

class TFiler {
public:
    using TReadInteger = std::function<void(std::int32_t value)>;
    using TWriteInteger = std::function<std::int32_t()>;

    virtual ~TFiler() = default;
    // `has_data` false leaves the property out of the stream (the object's default stands).
    virtual void DefineIntegerProperty(const std::string& name, const TReadInteger& read, const TWriteInteger& write,
                                       bool has_data) = 0;
};

// Writes the defined properties of objects as property lists of the form stream: each property
// is its name (a length byte and the characters) and its value in the smallest integer kind
// (value-type byte 2, 3 or 4, then 1, 2 or 4 little-endian bytes); an empty name ends the list.
class TWriter : public TFiler {
public:
    explicit TWriter(TStream& stream) : stream_(stream) {}
    void DefineIntegerProperty(const std::string& name, const TReadInteger& read, const TWriteInteger& write,
                               bool has_data) override;

private:
    TStream& stream_;
};

// Reads one property list and gives each value to the object that defines a property of its name.
// A broken list raises EReadError; values of names nobody defines are skipped.
class TReader : public TFiler {
public:
    explicit TReader(TStream& stream);
    void DefineIntegerProperty(const std::string& name, const TReadInteger& read, const TWriteInteger& write,
                               bool has_data) override;

private:
    std::map<std::string, std::int32_t> values_;
};

// One object's defined properties as one property list, and back.
void WriteDefinedProperties(TPersistent& object, TStream& stream);
void ReadDefinedProperties(TPersistent& object, TStream& stream);

}  // namespace ui
