// win/wmvcore/Asf.h: the header of an ASF file (.wma, .wmv, .asf) as the metadata editor sees it.
// Parsing keeps every object as its raw bytes; building writes back unchanged every object whose
// attributes were not touched, and rebuilds only the description objects that hold attributes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace asf {

// Attribute data types, numbered as the editor's interface numbers them.
enum AttrType : uint16_t { Dword = 0, String = 1, Binary = 2, Bool = 3, Qword = 4, Word = 5, Guid = 6 };

struct Attribute {
    std::u16string name;
    AttrType type = Binary;
    std::vector<uint8_t> value; // as the interface gives it: BOOL 4 bytes, strings with their 0 unit
    bool readOnly = false;      // derived from the file and stream properties
};

// One entry of the codec list object.
struct Codec {
    uint16_t type = 0;                 // 1 video, 2 audio, else unknown
    std::u16string name, description;
    std::vector<uint8_t> info;
};

struct Object {
    uint8_t guid[16];
    std::vector<uint8_t> bytes; // the whole object, its 24-byte head included
};

class Header {
public:
    // Parses the header object at the start of data (the whole header object must be present).
    // Empty on a malformed header.
    static std::optional<Header> Parse(const uint8_t* data, size_t size);
    // The size of the header object from its first 30 bytes, 0 when they are not an ASF header.
    static uint64_t HeaderSize(const uint8_t* data, size_t size);

    // The header object with the current attributes; restSize is the size of what follows the header.
    // A size larger than the header needs by at least kPaddingMin is reached with a padding object.
    std::vector<uint8_t> Build(uint64_t restSize, uint64_t size = 0) const;
    static constexpr uint64_t kPaddingMin = 24;

    std::vector<Attribute> attributes; // read-only ones first
    std::vector<Codec> codecs;         // empty when the file has no readable codec list
    uint64_t originalSize = 0;         // size of the header object as parsed

private:
    std::vector<Object> objects_;      // the header's children, in file order
    std::vector<Object> extension_;    // children of the header extension object
    std::vector<std::vector<uint8_t>> keptMetadata_, keptLibrary_; // records of other streams
    std::vector<Attribute> parsed_;    // the attributes as parsed, to tell whether any was edited
    uint8_t reserved_[2] = {1, 2};
};

bool IsReadOnlyName(const std::u16string& name);

} // namespace asf
