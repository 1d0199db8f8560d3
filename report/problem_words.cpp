#include "report/problem_words.h"

#include <cerrno>

namespace tavo::report {

std::string system_reason_text(int error) {
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

namespace {

std::string quoted(const std::string& s) {
    return std::string("“") + s + "”";
}

std::string num(const Problem& p, std::size_t i) {
    return i < p.numbers.size() ? std::to_string(p.numbers[i]) : std::string("?");
}

std::string quantity_name(Quantity what) {
    switch (what) {
        case Quantity::Load:
            return "载荷";
        case Quantity::Displacement:
            return "位移";
        case Quantity::Current:
            return "电流";
        case Quantity::Voltage:
            return "电压";
        case Quantity::ActivePower:
            return "有功功率";
        case Quantity::ReactivePower:
            return "无功功率";
    }
    return {};
}

std::string quantity_unit(Quantity what) {
    switch (what) {
        case Quantity::Load:
            return "千牛";
        case Quantity::Displacement:
            return "米";
        case Quantity::Current:
            return "安";
        case Quantity::Voltage:
            return "伏";
        case Quantity::ActivePower:
            return "千瓦";
        case Quantity::ReactivePower:
            return "千乏";
    }
    return {};
}

std::string fault_text(const Problem& p) {
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
    return {};
}

std::string io_text(const IoFailure& io) {
    std::string s;
    switch (io.why) {
        case IoFailure::Why::None:
            break;
        case IoFailure::Why::System:
            s = system_reason_text(io.error);
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

std::string reason(const Problem& p) {
    using K = Problem::Kind;
    switch (p.kind) {
        case K::None:
            return {};
        case K::CannotOpen:
            if (p.io.why == IoFailure::Why::Folder || p.io.why == IoFailure::Why::NotOrdinaryFile)
                return io_text(p.io);
            if (p.io.why == IoFailure::Why::System && p.io.error != 0)
                return std::string("无法打开文件：") + io_text(p.io);
            return "无法打开文件";
        case K::ShortHeader:
            return "文件短于 1024 字节的文件头";
        case K::NoSamples:
            return std::string("文件只有文件头，没有一个完整的采样点（文件头说有 ") + num(p, 0) +
                   " 个），不是测试数据";
        case K::ShortSamples:
            return std::string("只有 ") + num(p, 0) + " 个采样点，文件头说有 " + num(p, 1) + " 个";
        case K::NoExchangeTarget:
            return std::string("没有指定导出文件，井号") + quoted(p.well) + "的数据无处写入";
        case K::StrokeOutOfRange:
            return std::string("冲程周期 ") + num(p, 0) + " 点不在 1..3001 之内";
        case K::CurvesNotWritable:
            return std::string("曲线无法重采样并写成数据字段（") + fault_text(p) + "）";
        case K::CannotWriteExchange:
            return std::string("无法写入交换文件") + quoted(p.path) + "：" + io_text(p.io);
        case K::NoExtension:
            return std::string("交换文件名") + quoted(p.path) +
                   "没有扩展名，无法据此命名存放重建文件的文件夹";
        case K::CannotReadExchange:
            return std::string("无法读取交换文件") + quoted(p.path) + "：" + io_text(p.io);
        case K::CannotCreateFolder:
            return std::string("无法创建存放重建文件的文件夹") + quoted(p.detail) + "：" + io_text(p.io);
        case K::EndsInSection:
            return std::string("文件在 ") + p.detail + " 段中结束";
        case K::LineTooShort:
            return (quantity_name(p.quantity) + "一行（第 " + num(p, 0) + " 行）只有 " + num(p, 1) +
                    " 个字符，" + num(p, 3) + " 个宽 " + num(p, 4) + " 的字段需要 " + num(p, 2) + " 个");
        case K::CountTooLarge:
            return std::string("点数 ") + num(p, 0) + " 超过一条曲线的 3001 个采样点";
        case K::CountNotShort:
            return std::string("点数") + quoted(p.detail) + "超出 16 位整数的范围";
        case K::CountNotPoints:
            return std::string("点数") + quoted(p.detail) + "不是有效的点数";
        case K::BlockLacksSections:
            return std::string("这里开始新的一段，但上一段缺少 ") + p.detail + " 段";
        case K::StrokeNotShort:
            return std::string("冲程") + quoted(p.detail) + "米换算成毫米后超出 16 位字段";
        case K::RateZero:
            return std::string("冲次") + quoted(p.detail) + "为 0，无法求出冲程周期";
        case K::RateTooSmall:
            return std::string("冲次") + quoted(p.detail) + "得出的冲程周期超出 16 位字段";
        case K::FieldUnreadable:
            return std::string("数据字段无法读取（") + fault_text(p) + "）";
        case K::DateWithoutDash:
            return std::string("测试日期") + quoted(p.detail) + "中没有“-”";
        case K::UnfinishedBlock:
            return std::string("文件在缺少 ") + p.detail + " 段的一段中结束，这一段没有重建测试文件";
        case K::RebuildStroke:
            return std::string("冲次得出的冲程周期为 ") + num(p, 0) +
                   " 点（3000 / 冲次），不在一条曲线的 1..3001 之内";
        case K::RebuildCurves:
            return std::string("曲线无法重采样（") + fault_text(p) + "）";
        case K::RebuildTestMode:
            return std::string("无法估计测试方式（") + fault_text(p) + "）";
        case K::SampleNotShort:
            return std::string("第 ") + num(p, 0) + " 个采样点的" + quantity_name(p.quantity) + " " +
                   p.detail + " " + quantity_unit(p.quantity) + "超出 16 位字段";
        case K::CannotWriteTester:
            return std::string("无法写入测试文件") + quoted(p.detail) + "：" + io_text(p.io);
        case K::CannotWriteBack:
            return io_text(p.io);
    }
    return {};
}

bool at_block_end(Problem::Kind k) {
    using K = Problem::Kind;
    return k == K::RebuildStroke || k == K::RebuildCurves || k == K::RebuildTestMode ||
           k == K::SampleNotShort || k == K::CannotWriteTester;
}

}  // namespace

std::string problem_words(const Problem& p) {
    using K = Problem::Kind;
    std::string where;
    if (p.kind == K::StrokeOutOfRange || p.kind == K::CurvesNotWritable) {
        where = (std::string("交换文件") + quoted(p.path) + "，井号" + quoted(p.well) + "：");
    } else if (p.line > 0) {
        where = at_block_end(p.kind)
                    ? (std::string("交换文件") + quoted(p.path) + "中到第 " + std::to_string(p.line) +
                       " 行为止的一段")
                    : (std::string("交换文件") + quoted(p.path) + "第 " + std::to_string(p.line) + " 行");
        if (!p.well.empty()) where += (std::string("（井号") + quoted(p.well) + "）");
        where += "：";
    }
    return where + reason(p);
}

}  // namespace tavo::report
