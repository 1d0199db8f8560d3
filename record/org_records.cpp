#include "record/org_records.h"

#include <algorithm>
#include <cstring>

#include "common/text.h"

namespace tavo {
namespace {

void put16(uint8_t* b, std::size_t off, int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    b[off] = static_cast<uint8_t>(u & 0xFF);
    b[off + 1] = static_cast<uint8_t>(u >> 8);
}

int16_t get16(const uint8_t* b, std::size_t off) {
    return static_cast<int16_t>(static_cast<uint16_t>(b[off] | (b[off + 1] << 8)));
}

void put_text(uint8_t* b, std::size_t off, std::size_t width, const std::string& text) {
    const std::string f = gbk_field(text, width);
    std::memcpy(b + off, f.data(), width);
}

std::string get_text(const uint8_t* b, std::size_t off, std::size_t width) {
    return gbk_to_utf8(std::string_view(reinterpret_cast<const char*>(b + off), width));
}

Org_Point point_at(const uint8_t* b) {
    Org_Point p;
    p.IQ_Raw = get16(b, 0);
    p.Vol_Raw = get16(b, 2);
    p.Pow_Raw = get16(b, 4);
    p.Pos_Raw = get16(b, 6);
    p.Force_Raw = get16(b, 8);
    return p;
}

}  // namespace

HeadBytes encode_head(const Org_Head& h) {
    HeadBytes b{};
    std::memcpy(b.data() + 0, h.Head_Mark.data(), 12);
    put_text(b.data(), 12, 12, h.Test_Time);
    put16(b.data(), 24, h.Sample_Rate);
    put16(b.data(), 26, h.Head_26);
    put16(b.data(), 28, h.Point_Num);
    put16(b.data(), 30, h.Test_Mode);
    put16(b.data(), 32, h.Rsv_32);
    put16(b.data(), 34, h.Rsv_34);
    b[36] = h.Rsv_36;
    b[37] = h.Rsv_37;
    put16(b.data(), 38, h.Rsv_38);
    put16(b.data(), 40, h.Rsv_40);
    put16(b.data(), 42, h.Rsv_42);
    put16(b.data(), 44, h.Rsv_44);
    put16(b.data(), 46, h.Stroke_Len);
    put_text(b.data(), 48, 16, h.Well_Name);
    put16(b.data(), 64, h.Stroke_Pnt);
    put16(b.data(), 66, h.Rec_Speed);
    std::memcpy(b.data() + 68, h.Head_Fill.data(), 956);
    return b;
}

Org_Head decode_head(const HeadBytes& b) {
    Org_Head h;
    std::memcpy(h.Head_Mark.data(), b.data(), 12);
    h.Test_Time = get_text(b.data(), 12, 12);
    h.Sample_Rate = get16(b.data(), 24);
    h.Head_26 = get16(b.data(), 26);
    h.Point_Num = get16(b.data(), 28);
    h.Test_Mode = get16(b.data(), 30);
    h.Rsv_32 = get16(b.data(), 32);
    h.Rsv_34 = get16(b.data(), 34);
    h.Rsv_36 = b[36];
    h.Rsv_37 = b[37];
    h.Rsv_38 = get16(b.data(), 38);
    h.Rsv_40 = get16(b.data(), 40);
    h.Rsv_42 = get16(b.data(), 42);
    h.Rsv_44 = get16(b.data(), 44);
    h.Stroke_Len = get16(b.data(), 46);
    h.Well_Name = get_text(b.data(), 48, 16);
    h.Stroke_Pnt = get16(b.data(), 64);
    h.Rec_Speed = get16(b.data(), 66);
    std::memcpy(h.Head_Fill.data(), b.data() + 68, 956);
    return h;
}

PointBytes encode_point(const Org_Point& p) {
    PointBytes b{};
    put16(b.data(), 0, p.IQ_Raw);
    put16(b.data(), 2, p.Vol_Raw);
    put16(b.data(), 4, p.Pow_Raw);
    put16(b.data(), 6, p.Pos_Raw);
    put16(b.data(), 8, p.Force_Raw);
    return b;
}

Org_Point decode_point(const PointBytes& b) {
    return point_at(b.data());
}

std::optional<TesterRecords> decode_tester_file(std::string_view bytes) {
    if (bytes.size() < kHeadSize) return std::nullopt;
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
    TesterRecords r;
    HeadBytes hb;
    std::memcpy(hb.data(), b, kHeadSize);
    r.head = decode_head(hb);
    const std::size_t held = (bytes.size() - kHeadSize) / kPointSize;
    const std::size_t n =
        std::min<std::size_t>(held, static_cast<std::size_t>(std::max<int>(r.head.Point_Num, 0)));
    r.points.resize(n);
    for (std::size_t i = 0; i < n; ++i) r.points[i] = point_at(b + kHeadSize + i * kPointSize);
    return r;
}

}  // namespace tavo
