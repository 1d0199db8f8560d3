// The window's fonts. The design font "宋体" is a Song (Ming) typeface; on
// Linux AR PL UMing covers every character the window shows.
#pragma once

#include <QFont>
#include <QString>

namespace tavo {

// The installed family that stands for "宋体".
QString song_family();

// The Song-style font at a size in points, fixed at 96 dots an inch so the
// texts fit the twip layout whatever the screen reports.
QFont song_font(double points);

// The CJK sans face of the file and folder lists: a file name must read as
// it is spelt ("O" unlike "0", "l" unlike "1", "_" visible), which the Song
// face's thin Latin glyphs do not ensure at this size.
QString sans_family();
QFont sans_font(double points);

}  // namespace tavo
