// The reason a file or folder could not be reached, in words for the user (code page 932).
#pragma once

#include "store/FileReader.h"

inline const char* fileFaultText(FileFault fault) {
    switch (fault) {
        case FileFault::NoFile:
            return "ファイルがありません。";
        case FileFault::NoFolder:
            return "フォルダが見つかりません。フォルダの名前が変わったか、削除された可能性があります。";
        case FileFault::NoDrive:
            return "ドライブが見つかりません。USBメモリや外付けディスクが接続されているか確かめてください。";
        case FileFault::Offline:
            return "ネットワーク上の保存先に接続できません。ネットワークの接続や共有フォルダを確かめてください。";
        case FileFault::NotReady:
            return "ドライブの準備ができていません。ディスクやメモリカードが入っているか確かめてください。";
        case FileFault::Denied:
            return "読み込む権限がありません。";
        case FileFault::InUse:
            return "ほかのプログラムが使用中です。そのプログラムを終了してください。";
        default:
            return "読み込み中にエラーが起きました。";
    }
}
