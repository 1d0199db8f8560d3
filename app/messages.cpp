#include "app/messages.h"

#include <cerrno>

namespace tavo {

QString system_reason(int error) {
    switch (error) {
        case 0:
            return QStringLiteral("原因不明");
        case ENOENT:
            return QStringLiteral("文件或文件夹不存在");
        case ENOTDIR:
            return QStringLiteral("不是文件夹");
        case EISDIR:
            return QStringLiteral("这是一个文件夹");
        case EACCES:
        case EPERM:
            return QStringLiteral("没有权限");
        case EROFS:
            return QStringLiteral("只读文件系统");
        case ENOSPC:
            return QStringLiteral("磁盘空间不足");
        case EDQUOT:
            return QStringLiteral("超出磁盘配额");
        case EEXIST:
            return QStringLiteral("文件已存在");
        case ENAMETOOLONG:
            return QStringLiteral("文件名太长");
        case ELOOP:
            return QStringLiteral("符号链接层数过多");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("打开的文件太多");
        case EIO:
            return QStringLiteral("输入输出错误");
        case EBUSY:
            return QStringLiteral("设备或资源忙");
        case ENXIO:
        case ENODEV:
            return QStringLiteral("没有这个设备");
        case EFBIG:
            return QStringLiteral("文件太大");
        case ETXTBSY:
            return QStringLiteral("文件正被使用");
        case ENOMEM:
            return QStringLiteral("内存不足");
        case EINVAL:
            return QStringLiteral("参数无效");
        case EXDEV:
            return QStringLiteral("不能跨文件系统移动");
        default:
            return QStringLiteral("系统错误 %1").arg(error);
    }
}

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QString quoted(const std::string& s) {
    return QStringLiteral("“%1”").arg(q(s));
}

QString num(const Problem& p, std::size_t i) {
    return i < p.numbers.size() ? QString::number(p.numbers[i]) : QStringLiteral("?");
}

QString quantity_name(Quantity what) {
    switch (what) {
        case Quantity::Load:
            return QStringLiteral("载荷");
        case Quantity::Displacement:
            return QStringLiteral("位移");
        case Quantity::Current:
            return QStringLiteral("电流");
        case Quantity::Voltage:
            return QStringLiteral("电压");
        case Quantity::ActivePower:
            return QStringLiteral("有功功率");
        case Quantity::ReactivePower:
            return QStringLiteral("无功功率");
    }
    return {};
}

QString quantity_unit(Quantity what) {
    switch (what) {
        case Quantity::Load:
            return QStringLiteral("千牛");
        case Quantity::Displacement:
            return QStringLiteral("米");
        case Quantity::Current:
            return QStringLiteral("安");
        case Quantity::Voltage:
            return QStringLiteral("伏");
        case Quantity::ActivePower:
            return QStringLiteral("千瓦");
        case Quantity::ReactivePower:
            return QStringLiteral("千乏");
    }
    return {};
}

QString fault_text(const Problem& p) {
    if (!p.fault) return QStringLiteral("计算出错");
    switch (*p.fault) {
        case FaultKind::DivisionByZero:
            return QStringLiteral("除数为零");
        case FaultKind::Overflow:
            return QStringLiteral("数值溢出");
        case FaultKind::IndexOutOfRange:
            return QStringLiteral("下标越界");
        case FaultKind::File:
            return QStringLiteral("文件错误");
        case FaultKind::Format:
            return QStringLiteral("格式错误");
    }
    return {};
}

QString io_text(const IoFailure& io) {
    QString s;
    switch (io.why) {
        case IoFailure::Why::None:
            break;
        case IoFailure::Why::System:
            s = system_reason(io.error);
            break;
        case IoFailure::Why::Folder:
            s = QStringLiteral("这是一个文件夹");
            break;
        case IoFailure::Why::NotOrdinaryFile:
            s = QStringLiteral("这不是普通文件");
            break;
        case IoFailure::Why::SymbolicLink:
            s = QStringLiteral("这是一个符号链接");
            break;
    }
    if (io.damage == IoFailure::Damage::IncompleteBlock)
        s += QStringLiteral("（文件末尾可能留下不完整的一段）");
    if (io.damage == IoFailure::Damage::PartlyOverwritten) s += QStringLiteral("（文件可能已被部分覆盖）");
    return s;
}

QString reason(const Problem& p) {
    using K = Problem::Kind;
    switch (p.kind) {
        case K::None:
            return {};
        case K::CannotOpen:
            if (p.io.why == IoFailure::Why::Folder || p.io.why == IoFailure::Why::NotOrdinaryFile)
                return io_text(p.io);
            if (p.io.why == IoFailure::Why::System && p.io.error != 0)
                return QStringLiteral("无法打开文件：%1").arg(io_text(p.io));
            return QStringLiteral("无法打开文件");
        case K::ShortHeader:
            return QStringLiteral("文件短于 1024 字节的文件头");
        case K::NoSamples:
            return QStringLiteral("文件只有文件头，没有一个完整的采样点（文件头说有 %1 个），不是测试数据")
                .arg(num(p, 0));
        case K::ShortSamples:
            return QStringLiteral("只有 %1 个采样点，文件头说有 %2 个").arg(num(p, 0), num(p, 1));
        case K::NoExchangeTarget:
            return QStringLiteral("没有指定导出文件，井号%1的数据无处写入").arg(quoted(p.well));
        case K::StrokeOutOfRange:
            return QStringLiteral("冲程周期 %1 点不在 1..3001 之内").arg(num(p, 0));
        case K::CurvesNotWritable:
            return QStringLiteral("曲线无法重采样并写成数据字段（%1）").arg(fault_text(p));
        case K::CannotWriteExchange:
            return QStringLiteral("无法写入交换文件%1：%2").arg(quoted(p.path), io_text(p.io));
        case K::NoExtension:
            return QStringLiteral("交换文件名%1没有扩展名，无法据此命名存放重建文件的文件夹")
                .arg(quoted(p.path));
        case K::CannotReadExchange:
            return QStringLiteral("无法读取交换文件%1：%2").arg(quoted(p.path), io_text(p.io));
        case K::CannotCreateFolder:
            return QStringLiteral("无法创建存放重建文件的文件夹%1：%2").arg(quoted(p.detail), io_text(p.io));
        case K::EndsInSection:
            return QStringLiteral("文件在 %1 段中结束").arg(q(p.detail));
        case K::LineTooShort:
            return QStringLiteral("%1一行（第 %2 行）只有 %3 个字符，%4 个宽 %5 的字段需要 %6 个")
                .arg(quantity_name(p.quantity), num(p, 0), num(p, 1), num(p, 3), num(p, 4), num(p, 2));
        case K::CountTooLarge:
            return QStringLiteral("点数 %1 超过一条曲线的 3001 个采样点").arg(num(p, 0));
        case K::CountNotShort:
            return QStringLiteral("点数%1超出 16 位整数的范围").arg(quoted(p.detail));
        case K::CountNotPoints:
            return QStringLiteral("点数%1不是有效的点数").arg(quoted(p.detail));
        case K::BlockLacksSections:
            return QStringLiteral("这里开始新的一段，但上一段缺少 %1 段").arg(q(p.detail));
        case K::StrokeNotShort:
            return QStringLiteral("冲程%1米换算成毫米后超出 16 位字段").arg(quoted(p.detail));
        case K::RateZero:
            return QStringLiteral("冲次%1为 0，无法求出冲程周期").arg(quoted(p.detail));
        case K::RateTooSmall:
            return QStringLiteral("冲次%1得出的冲程周期超出 16 位字段").arg(quoted(p.detail));
        case K::FieldUnreadable:
            return QStringLiteral("数据字段无法读取（%1）").arg(fault_text(p));
        case K::DateWithoutDash:
            return QStringLiteral("测试日期%1中没有“-”").arg(quoted(p.detail));
        case K::UnfinishedBlock:
            return QStringLiteral("文件在缺少 %1 段的一段中结束，这一段没有重建测试文件").arg(q(p.detail));
        case K::RebuildStroke:
            return QStringLiteral("冲次得出的冲程周期为 %1 点（3000 / 冲次），不在一条曲线的 1..3001 之内")
                .arg(num(p, 0));
        case K::RebuildCurves:
            return QStringLiteral("曲线无法重采样（%1）").arg(fault_text(p));
        case K::RebuildTestMode:
            return QStringLiteral("无法估计测试方式（%1）").arg(fault_text(p));
        case K::SampleNotShort:
            return QStringLiteral("第 %1 个采样点的%2 %3 %4超出 16 位字段")
                .arg(num(p, 0), quantity_name(p.quantity), q(p.detail), quantity_unit(p.quantity));
        case K::CannotWriteTester:
            return QStringLiteral("无法写入测试文件%1：%2").arg(quoted(p.detail), io_text(p.io));
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

QString problem_text(const Problem& p) {
    using K = Problem::Kind;
    QString where;
    if (p.kind == K::StrokeOutOfRange || p.kind == K::CurvesNotWritable) {
        where = QStringLiteral("交换文件%1，井号%2：").arg(quoted(p.path), quoted(p.well));
    } else if (p.line > 0) {
        where = at_block_end(p.kind)
                    ? QStringLiteral("交换文件%1中到第 %2 行为止的一段")
                          .arg(quoted(p.path), QString::number(p.line))
                    : QStringLiteral("交换文件%1第 %2 行").arg(quoted(p.path), QString::number(p.line));
        if (!p.well.empty()) where += QStringLiteral("（井号%1）").arg(quoted(p.well));
        where += QStringLiteral("：");
    }
    return where + reason(p);
}

}  // namespace tavo
