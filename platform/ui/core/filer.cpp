#include "platform/ui/core/filer.h"

#include <limits>
#include <utility>
#include <vector>

#include "platform/ui/core/exceptions.h"
#include "platform/ui/core/persistent.h"
#include "platform/ui/core/streams.h"

namespace ui {
namespace {

enum ValueType : std::uint8_t { vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaBinary = 10 };

void WriteLittleEndian(TStream& stream, std::uint32_t value, int bytes) {
    std::uint8_t buffer[4];
    for (int i = 0; i < bytes; ++i) buffer[i] = static_cast<std::uint8_t>(value >> (8 * i));
    stream.WriteBuffer(buffer, bytes);
}

std::int32_t ReadLittleEndian(TStream& stream, int bytes) {
    std::uint8_t buffer[4] = {};
    stream.ReadBuffer(buffer, bytes);
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= std::uint32_t{buffer[i]} << (8 * i);
    // Sign-extend the narrow kinds.
    const int unused_bits = 32 - 8 * bytes;
    return static_cast<std::int32_t>(value << unused_bits) >> unused_bits;
}

std::string ReadName(TStream& stream) {
    std::uint8_t length = 0;
    stream.ReadBuffer(&length, 1);
    std::string name(length, '\0');
    stream.ReadBuffer(name.data(), length);
    return name;
}

}  // namespace

void TWriter::WriteName(const std::string& name) {
    if (name.empty() || name.size() > 255) throw EWriteError("Invalid property name");
    const std::uint8_t length = static_cast<std::uint8_t>(name.size());
    stream_.WriteBuffer(&length, 1);
    stream_.WriteBuffer(name.data(), length);
}

void TWriter::DefineIntegerProperty(const std::string& name, const TReadInteger&, const TWriteInteger& write,
                                    bool has_data) {
    if (!has_data) return;
    WriteName(name);
    const std::int32_t value = write();
    std::uint8_t type = vaInt32;
    int bytes = 4;
    if (value >= std::numeric_limits<std::int8_t>::min() && value <= std::numeric_limits<std::int8_t>::max()) {
        type = vaInt8, bytes = 1;
    } else if (value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max()) {
        type = vaInt16, bytes = 2;
    }
    stream_.WriteBuffer(&type, 1);
    WriteLittleEndian(stream_, static_cast<std::uint32_t>(value), bytes);
}

void TWriter::DefineBinaryProperty(const std::string& name, const TStreamProc&, const TStreamProc& write,
                                   bool has_data) {
    if (!has_data) return;
    TMemoryStream value;
    write(value);
    if (value.Size() > std::numeric_limits<std::uint32_t>::max()) throw EWriteError("Stream write error");
    WriteName(name);
    const std::uint8_t type = vaBinary;
    stream_.WriteBuffer(&type, 1);
    WriteLittleEndian(stream_, static_cast<std::uint32_t>(value.Size()), 4);
    value.SaveToStream(stream_);
}

TReader::TReader(TStream& stream) {
    for (std::string name = ReadName(stream); !name.empty(); name = ReadName(stream)) {
        std::uint8_t type = 0;
        stream.ReadBuffer(&type, 1);
        switch (type) {
        case vaInt8:
            values_[name] = ReadLittleEndian(stream, 1);
            break;
        case vaInt16:
            values_[name] = ReadLittleEndian(stream, 2);
            break;
        case vaInt32:
            values_[name] = ReadLittleEndian(stream, 4);
            break;
        case vaBinary: {
            const auto length = static_cast<std::uint32_t>(ReadLittleEndian(stream, 4));
            // Checked before anything is allocated for it: a length may lie.
            if (length > stream.Size() - stream.Position()) throw EReadError("Invalid property value");
            std::vector<std::uint8_t> bytes(length);
            stream.ReadBuffer(bytes.data(), length);
            binaries_[name] = std::move(bytes);
            break;
        }
        default:
            throw EReadError("Invalid property value");
        }
    }
}

void TReader::DefineIntegerProperty(const std::string& name, const TReadInteger& read, const TWriteInteger&, bool) {
    if (const auto found = values_.find(name); found != values_.end()) read(found->second);
}

void TReader::DefineBinaryProperty(const std::string& name, const TStreamProc& read, const TStreamProc&, bool) {
    const auto found = binaries_.find(name);
    if (found == binaries_.end()) return;
    TMemoryStream value;
    value.WriteBuffer(found->second.data(), static_cast<std::int64_t>(found->second.size()));
    value.SetPosition(0);
    read(value);
}

void WriteDefinedProperties(TPersistent& object, TStream& stream, const TPersistent* ancestor) {
    TWriter writer(stream, ancestor);
    object.DefineProperties(writer);
    const std::uint8_t end_of_list = 0;
    stream.WriteBuffer(&end_of_list, 1);
}

void ReadDefinedProperties(TPersistent& object, TStream& stream) {
    TReader reader(stream);
    object.DefineProperties(reader);
}

}  // namespace ui
