// The tester data file's records: a 1024-byte header followed by 10-byte
// sample records, little-endian, encoded and decoded field by field.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavo {

constexpr std::size_t kHeadSize = 1024;
constexpr std::size_t kPointSize = 10;
constexpr int16_t kModeReactiveFirst = 16384;  // bit 14 of Test_Mode

struct Org_Head {
    std::array<uint8_t, 12> Head_Mark{};  // raw bytes, carried unchanged
    std::string Test_Time;                // 12 bytes of code page 936, decoded
    int16_t Sample_Rate = 0;
    int16_t Head_26 = 0;
    int16_t Point_Num = 0;
    int16_t Test_Mode = 0;
    int16_t Rsv_32 = 0;
    int16_t Rsv_34 = 0;
    uint8_t Rsv_36 = 0;
    uint8_t Rsv_37 = 0;
    int16_t Rsv_38 = 0;
    int16_t Rsv_40 = 0;
    int16_t Rsv_42 = 0;
    int16_t Rsv_44 = 0;
    int16_t Stroke_Len = 0;
    std::string Well_Name;  // 16 bytes of code page 936, decoded
    int16_t Stroke_Pnt = 0;
    int16_t Rec_Speed = 0;
    std::array<uint8_t, 956> Head_Fill{};  // raw bytes, carried unchanged
};

struct Org_Point {
    int16_t IQ_Raw = 0;
    int16_t Vol_Raw = 0;
    int16_t Pow_Raw = 0;
    int16_t Pos_Raw = 0;
    int16_t Force_Raw = 0;
};

using HeadBytes = std::array<uint8_t, kHeadSize>;
using PointBytes = std::array<uint8_t, kPointSize>;

HeadBytes encode_head(const Org_Head& h);
Org_Head decode_head(const HeadBytes& b);
PointBytes encode_point(const Org_Point& p);
Org_Point decode_point(const PointBytes& b);

// A tester file held in memory, decoded: its header and the sample records
// it holds whole, at most Point_Num of them (none for a Point_Num of 0 or
// less); bytes after them are ignored.
struct TesterRecords {
    Org_Head head;
    std::vector<Org_Point> points;
};

// Empty when the bytes are shorter than the header.
std::optional<TesterRecords> decode_tester_file(std::string_view bytes);

}  // namespace tavo
