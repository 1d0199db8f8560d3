#include "common/problem.h"

#include <cerrno>
#include <cstring>

namespace tavo {
namespace {

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

std::string num(long n) {
    return std::to_string(n);
}

// A quantity's name and unit, in English and in Chinese.
struct QuantityWords {
    const char *name, *unit, *chinese_name, *chinese_unit;
};

const QuantityWords& words(Quantity q) {
    static const QuantityWords table[] = {{"load", "kN", "载荷", "千牛"},
                                          {"displacement", "m", "位移", "米"},
                                          {"current", "A", "电流", "安"},
                                          {"voltage", "V", "电压", "伏"},
                                          {"active power", "kW", "有功功率", "千瓦"},
                                          {"reactive power", "kVar", "无功功率", "千乏"}};
    return table[static_cast<int>(q)];
}

std::string io_text(const IoFailure& io) {
    std::string s;
    switch (io.why) {
        case IoFailure::Why::None:
            break;
        case IoFailure::Why::System:
            s = std::strerror(io.error);
            break;
        case IoFailure::Why::Folder:
            s = "it is a folder";
            break;
        case IoFailure::Why::NotOrdinaryFile:
            s = "it is not an ordinary file";
            break;
        case IoFailure::Why::SymbolicLink:
            s = "it is a symbolic link";
            break;
    }
    if (io.damage == IoFailure::Damage::IncompleteBlock) s += " (the file may end in an incomplete block)";
    if (io.damage == IoFailure::Damage::PartlyOverwritten) s += " (the file may be partly overwritten)";
    return s;
}

bool at_block_end(Problem::Kind k) {
    using K = Problem::Kind;
    return k == K::RebuildStroke || k == K::RebuildCurves || k == K::RebuildTestMode ||
           k == K::SampleNotShort || k == K::CannotWriteTester;
}

// What went wrong, without the place.
std::string reason(const Problem& p) {
    using K = Problem::Kind;
    switch (p.kind) {
        case K::None:
            return {};
        case K::CannotOpen:
            if (p.io.why == IoFailure::Why::Folder || p.io.why == IoFailure::Why::NotOrdinaryFile)
                return "cannot open the file (" + io_text(p.io) + ")";
            return "cannot open the file";
        case K::ShortHeader:
            return "the file is shorter than its 1024-byte header";
        case K::NoSamples:
            return "the file holds its header but no whole sample record (the header announces " +
                   num(p.records_expected) + " samples): it is no test";
        case K::ShortSamples:
            return "the file holds " + num(p.records_read) + " of the " + num(p.records_expected) +
                   " samples its header announces";
        case K::NoExchangeTarget:
            return "no exchange file is named to write the well " + quoted(p.well) + " to";
        case K::StrokeOutOfRange:
            return "the stroke length of " + num(p.stroke) + " samples is outside 1..3001";
        case K::CurvesNotWritable:
            return "the curves cannot be resampled and written as fields (" + p.fault_text + ")";
        case K::CannotWriteExchange:
            return "cannot write the exchange file " + quoted(p.path) + ": " + io_text(p.io);
        case K::NoExtension:
            return "the exchange file name " + quoted(p.path) +
                   " has no extension, so no folder for the rebuilt files can be named after it";
        case K::CannotReadExchange:
            return "cannot read the exchange file " + quoted(p.path) + ": " + io_text(p.io);
        case K::CannotCreateFolder:
            return "cannot create the folder " + quoted(p.detail) +
                   " for the rebuilt files: " + io_text(p.io);
        case K::EndsInSection:
            return "the file ends inside the " + p.detail + " section";
        case K::LineTooShort:
            return std::string("the ") + words(p.quantity).name + " line (line " + num(p.short_line.line) +
                   ") holds " + num(p.short_line.characters) + " characters, " + num(p.short_line.needed) +
                   " needed for " + num(p.short_line.fields) + " fields of " + num(p.short_line.width);
        case K::CountTooLarge:
            return "the count " + num(p.count) + " is more than the 3001 samples a curve holds";
        case K::CountNotShort:
            return "the count " + quoted(p.detail) + " does not fit a 16-bit number";
        case K::CountNotPoints:
            return "the count " + quoted(p.detail) + " is not a number of points";
        case K::BlockLacksSections:
            return "a new block begins here, but the block before it has no " + p.detail + " section";
        case K::StrokeNotShort:
            return "the stroke " + quoted(p.detail) + " m does not fit its 16-bit field in mm";
        case K::RateZero:
            return "the stroke rate " + quoted(p.detail) + " is 0: no stroke length follows from it";
        case K::RateTooSmall:
            return "the stroke rate " + quoted(p.detail) + " gives a stroke longer than a 16-bit field holds";
        case K::FieldUnreadable:
            return "a number field cannot be read (" + p.fault_text + ")";
        case K::DateWithoutDash:
            return "the test date " + quoted(p.detail) + " holds no \"-\"";
        case K::UnfinishedBlock:
            return "the file ends inside a block that has no " + p.detail +
                   " section; that block gives no tester file";
        case K::RebuildStroke:
            return "the stroke rate gives a stroke of " + num(p.stroke) +
                   " samples (3000 / rate), outside the 1..3001 a curve holds";
        case K::RebuildCurves:
            return "the curves cannot be resampled (" + p.fault_text + ")";
        case K::RebuildTestMode:
            return "the test mode cannot be estimated (" + p.fault_text + ")";
        case K::SampleNotShort:
            return "sample " + num(p.sample) + ": the " + words(p.quantity).name + " " + p.detail + " " +
                   words(p.quantity).unit + " does not fit its 16-bit field";
        case K::CannotWriteTester:
            return "cannot write the tester file " + quoted(p.detail) + ": " + io_text(p.io);
        case K::CannotWriteBack:
            return io_text(p.io);
        case K::CannotWriteFile:
            return "cannot write " + p.path + ": " + p.detail;
        case K::CannotDrawInto:
            return "cannot draw into " + p.path;
        case K::CannotDrawPicture:
            return "cannot draw the picture into " + p.path;
        case K::CannotFinish:
            return "cannot finish " + p.path;
        case K::BadScale:
            return "the scale must be above 0 and at most 32";
        case K::UnknownPictureType:
            return "unknown picture type '" + p.detail + "' (use .png, .svg or .pdf)";
        case K::NoPictureSize:
            return "the picture has no size";
    }
    return {};
}

std::string quoted_cn(const std::string& s) {
    return "“" + s + "”";
}

std::string chinese_fault_text(const Problem& p) {
    if (!p.fault) return "计算出错";
    switch (*p.fault) {
        case FaultKind::DivisionByZero:
            return "除数为零";
        case FaultKind::Overflow:
            return "数值溢出";
        case FaultKind::IndexOutOfRange:
            return "下标越界";
        case FaultKind::File:
            return "文件错误";
        case FaultKind::Format:
            return "格式错误";
    }
    return "";
}

std::string chinese_reason(const Problem& p) {
    using K = Problem::Kind;
    switch (p.kind) {
        case K::None:
            return {};
        case K::CannotOpen:
            if (p.io.why == IoFailure::Why::Folder || p.io.why == IoFailure::Why::NotOrdinaryFile)
                return chinese(p.io);
            if (p.io.why == IoFailure::Why::System && p.io.error != 0)
                return "无法打开文件：" + chinese(p.io);
            return "无法打开文件";
        case K::ShortHeader:
            return "文件短于 1024 字节的文件头";
        case K::NoSamples:
            return "文件只有文件头，没有一个完整的采样点（文件头说有 " + num(p.records_expected) +
                   " 个），不是测试数据";
        case K::ShortSamples:
            return "只有 " + num(p.records_read) + " 个采样点，文件头说有 " + num(p.records_expected) + " 个";
        case K::NoExchangeTarget:
            return "没有指定导出文件，井号" + quoted_cn(p.well) + "的数据无处写入";
        case K::StrokeOutOfRange:
            return "冲程周期 " + num(p.stroke) + " 点不在 1..3001 之内";
        case K::CurvesNotWritable:
            return "曲线无法重采样并写成数据字段（" + chinese_fault_text(p) + "）";
        case K::CannotWriteExchange:
            return "无法写入交换文件" + quoted_cn(p.path) + "：" + chinese(p.io);
        case K::NoExtension:
            return "交换文件名" + quoted_cn(p.path) + "没有扩展名，无法据此命名存放重建文件的文件夹";
        case K::CannotReadExchange:
            return "无法读取交换文件" + quoted_cn(p.path) + "：" + chinese(p.io);
        case K::CannotCreateFolder:
            return "无法创建存放重建文件的文件夹" + quoted_cn(p.detail) + "：" + chinese(p.io);
        case K::EndsInSection:
            return "文件在 " + p.detail + " 段中结束";
        case K::LineTooShort: {
            const Problem::ShortLine& s = p.short_line;
            return std::string(words(p.quantity).chinese_name) + "一行（第 " + num(s.line) + " 行）只有 " +
                   num(s.characters) + " 个字符，" + num(s.fields) + " 个宽 " + num(s.width) +
                   " 的字段需要 " + num(s.needed) + " 个";
        }
        case K::CountTooLarge:
            return "点数 " + num(p.count) + " 超过一条曲线的 3001 个采样点";
        case K::CountNotShort:
            return "点数" + quoted_cn(p.detail) + "超出 16 位整数的范围";
        case K::CountNotPoints:
            return "点数" + quoted_cn(p.detail) + "不是有效的点数";
        case K::BlockLacksSections:
            return "这里开始新的一段，但上一段缺少 " + p.detail + " 段";
        case K::StrokeNotShort:
            return "冲程" + quoted_cn(p.detail) + "米换算成毫米后超出 16 位字段";
        case K::RateZero:
            return "冲次" + quoted_cn(p.detail) + "为 0，无法求出冲程周期";
        case K::RateTooSmall:
            return "冲次" + quoted_cn(p.detail) + "得出的冲程周期超出 16 位字段";
        case K::FieldUnreadable:
            return "数据字段无法读取（" + chinese_fault_text(p) + "）";
        case K::DateWithoutDash:
            return "测试日期" + quoted_cn(p.detail) + "中没有“-”";
        case K::UnfinishedBlock:
            return "文件在缺少 " + p.detail + " 段的一段中结束，这一段没有重建测试文件";
        case K::RebuildStroke:
            return "冲次得出的冲程周期为 " + num(p.stroke) +
                   " 点（3000 / 冲次），不在一条曲线的 1..3001 之内";
        case K::RebuildCurves:
            return "曲线无法重采样（" + chinese_fault_text(p) + "）";
        case K::RebuildTestMode:
            return "无法估计测试方式（" + chinese_fault_text(p) + "）";
        case K::SampleNotShort:
            return "第 " + num(p.sample) + " 个采样点的" + words(p.quantity).chinese_name + " " + p.detail +
                   " " + words(p.quantity).chinese_unit + "超出 16 位字段";
        case K::CannotWriteTester:
            return "无法写入测试文件" + quoted_cn(p.detail) + "：" + chinese(p.io);
        case K::CannotWriteBack:
            return chinese(p.io);
        case K::CannotWriteFile:
            return p.detail;
        case K::CannotDrawInto:
        case K::CannotDrawPicture:
            return "无法在文件中绘图";
        case K::CannotFinish:
            return "文件没有写完";
        case K::BadScale:
            return "放大倍数必须大于 0 且不超过 32";
        case K::UnknownPictureType:
            return "不认识的图片类型“" + p.detail + "”（请用 .png、.svg 或 .pdf）";
        case K::NoPictureSize:
            return "图片没有大小";
    }
    return {};
}

}  // namespace

bool not_analysed(const Problem& load) {
    return load.kind == Problem::Kind::CannotOpen || load.kind == Problem::Kind::ShortHeader ||
           load.kind == Problem::Kind::NoSamples;
}

bool analysed(const Problem& load) {
    return load.kind == Problem::Kind::ShortSamples ||
           (load.kind == Problem::Kind::None && load.records_read > 0);
}

Problem fault_problem(Problem::Kind kind, const Fault& f) {
    Problem p;
    p.kind = kind;
    p.fault = f.kind();
    p.fault_text = f.what();
    return p;
}

std::string english(const Problem& p) {
    using K = Problem::Kind;
    // The place: the exchange file and its line, or the well of a block written.
    std::string where;
    if (p.kind == K::StrokeOutOfRange || p.kind == K::CurvesNotWritable) {
        where = "exchange file " + quoted(p.path) + ", well " + quoted(p.well) + ": ";
    } else if (p.line > 0) {
        where = "exchange file " + quoted(p.path) + ", " +
                (at_block_end(p.kind) ? "block ending at line " : "line ") + std::to_string(p.line);
        if (!p.well.empty()) where += " (well " + quoted(p.well) + ")";
        where += ": ";
    }
    return where + reason(p);
}

std::string english(const IoFailure& io) {
    return io_text(io);
}

std::string chinese_system_reason(int error) {
    switch (error) {
        case 0:
            return "原因不明";
        case ENOENT:
            return "文件或文件夹不存在";
        case ENOTDIR:
            return "不是文件夹";
        case EISDIR:
            return "这是一个文件夹";
        case EACCES:
        case EPERM:
            return "没有权限";
        case EROFS:
            return "只读文件系统";
        case ENOSPC:
            return "磁盘空间不足";
        case EDQUOT:
            return "超出磁盘配额";
        case EEXIST:
            return "文件已存在";
        case ENAMETOOLONG:
            return "文件名太长";
        case ELOOP:
            return "符号链接层数过多";
        case EMFILE:
        case ENFILE:
            return "打开的文件太多";
        case EIO:
            return "输入输出错误";
        case EBUSY:
            return "设备或资源忙";
        case ENXIO:
        case ENODEV:
            return "没有这个设备";
        case EFBIG:
            return "文件太大";
        case ETXTBSY:
            return "文件正被使用";
        case ENOMEM:
            return "内存不足";
        case EINVAL:
            return "参数无效";
        case EXDEV:
            return "不能跨文件系统移动";
        default:
            return "系统错误 " + std::to_string(error);
    }
}

std::string chinese(const IoFailure& io) {
    std::string s;
    switch (io.why) {
        case IoFailure::Why::None:
            break;
        case IoFailure::Why::System:
            s = chinese_system_reason(io.error);
            break;
        case IoFailure::Why::Folder:
            s = "这是一个文件夹";
            break;
        case IoFailure::Why::NotOrdinaryFile:
            s = "这不是普通文件";
            break;
        case IoFailure::Why::SymbolicLink:
            s = "这是一个符号链接";
            break;
    }
    if (io.damage == IoFailure::Damage::IncompleteBlock) s += "（文件末尾可能留下不完整的一段）";
    if (io.damage == IoFailure::Damage::PartlyOverwritten) s += "（文件可能已被部分覆盖）";
    return s;
}

std::string chinese(const Problem& p) {
    using K = Problem::Kind;
    std::string where;
    if (p.kind == K::StrokeOutOfRange || p.kind == K::CurvesNotWritable) {
        where = "交换文件" + quoted_cn(p.path) + "，井号" + quoted_cn(p.well) + "：";
    } else if (p.line > 0) {
        where = at_block_end(p.kind)
                    ? "交换文件" + quoted_cn(p.path) + "中到第 " + num(p.line) + " 行为止的一段"
                    : "交换文件" + quoted_cn(p.path) + "第 " + num(p.line) + " 行";
        if (!p.well.empty()) where += "（井号" + quoted_cn(p.well) + "）";
        where += "：";
    }
    return where + chinese_reason(p);
}

std::string chinese_test_note(const Problem& load) {
    using K = Problem::Kind;
    switch (load.kind) {
        case K::CannotOpen:
            return load.io.why == IoFailure::Why::Folder ? "无法打开文件（这是一个文件夹）"
                   : load.io.why == IoFailure::Why::NotOrdinaryFile ? "无法打开文件（这不是普通文件）"
                                                                    : "无法打开文件";
        case K::ShortHeader:
            return "文件短于 1024 字节的文件头，不是完整的测试文件";
        case K::NoSamples:
            return "文件只有文件头，没有一个完整的采样点，不是测试数据";
        case K::ShortSamples:
            return "文件不完整：" + chinese_reason(load);
        default:
            return analysed(load) ? std::string() : "文件无法读取，没有分析结果";
    }
}

}  // namespace tavo
