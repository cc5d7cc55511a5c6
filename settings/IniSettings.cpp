// Reader and writer of quiltpad.ini. The reader follows the platform's
// profile rules, so a file edited by hand reads as the platform would read
// it; the writer builds the whole file in memory and replaces it at once.
#include "settings/IniSettings.h"

#include "settings/AppPaths.h"
#include "store/AtomicFile.h"
#include "store/Cp932.h"
#include "store/FileReader.h"

#include <cstdio>
#include <limits>

namespace ini {

namespace {

// One "key = value" line of the file, with the section it stands in.
struct Line {
    std::string section;
    std::string key;
    std::string value;
};

// A folder setting fits the platform's 260-byte path buffers.
std::string boundPath(const std::string& path) { return cp932::cutAt(path, paths::MAX_PATH_BYTES - 1); }

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trimBlanks(const std::string& s, size_t begin, size_t end) {
    while (begin < end && isBlank(s[begin])) ++begin;
    while (end > begin && isBlank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

// A value enclosed in a matching pair of quotes loses them.
std::string unquote(const std::string& v) {
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) return v.substr(1, v.size() - 2);
    return v;
}

// Splits the file into its key lines. Comment lines, lines before the first
// section and section lines without a closing bracket carry no keys.
std::vector<Line> splitLines(const std::string& text) {
    std::vector<Line> lines;
    std::string section;
    bool inSection = false;
    size_t pos = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;  // a UTF-8 mark from an editor
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        std::string line = trimBlanks(text, pos, end);
        pos = end + 1;
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t close = line.rfind(']');
            if (close == std::string::npos) continue;
            section = trimBlanks(line, 1, close);
            inSection = true;
            continue;
        }
        if (!inSection) continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos) {
            lines.push_back({section, line, std::string()});
        } else {
            lines.push_back({section, trimBlanks(line, 0, eq), unquote(trimBlanks(line, eq + 1, line.size()))});
        }
    }
    return lines;
}

// The parsed file, looked up section by section.
class IniReader {
public:
    explicit IniReader(const std::string& text) : lines_(splitLines(text)) {}

    void select(const char* section) { section_ = section; }

    bool find(const char* key, std::string& value) const {
        const std::string wanted(key);
        for (const Line& l : lines_) {
            if (sameName(l.key, wanted) && sameName(l.section, section_)) {
                value = l.value;
                return true;
            }
        }
        return false;
    }

    int32_t getInt(const char* key, int32_t def) const {
        std::string v;
        return find(key, v) ? parseIniInt(v, def) : def;
    }

    bool getFlag(const char* key, bool def) const { return getInt(key, def ? 1 : 0) == 1; }

    std::string getPath(const char* key, const std::string& def) const {
        std::string v;
        return find(key, v) ? boundPath(v) : def;
    }

private:
    std::vector<Line> lines_;
    std::string section_;
};

std::string fontColorKey(int i) {
    char key[16];
    std::snprintf(key, sizeof key, "FontColor%02d", i);
    return key;
}

void readWindow(const IniReader& r, IniSettings::Window& w) {
    w.PosX = r.getInt("PosX", w.PosX);
    w.PosY = r.getInt("PosY", w.PosY);
    w.Width = r.getInt("Width", w.Width);
    w.Height = r.getInt("Height", w.Height);
    w.TvWidthPer = r.getInt("TvWidthPer", w.TvWidthPer);
    w.Maximize = r.getFlag("Maximize", w.Maximize);
    w.AutoView = r.getFlag("AutoView", w.AutoView);
    w.AutoEdit = r.getFlag("AutoEdit", w.AutoEdit);
    w.AutoDate = r.getFlag("AutoDate", w.AutoDate);
    w.DateString = r.getInt("DateString", w.DateString);
    w.DeleteDialog = r.getFlag("DeleteDialog", w.DeleteDialog);
    w.AutoBookmark = r.getFlag("AutoBookmark", w.AutoBookmark);
    w.ExitBookmark = r.getFlag("ExitBookmark", w.ExitBookmark);
    w.ExitScroll = r.getFlag("ExitScroll", w.ExitScroll);
    w.ParentSec = r.getFlag("ParentSec", w.ParentSec);
    for (int i = 0; i < 16; ++i) w.FontColor[i] = r.getInt(fontColorKey(i).c_str(), w.FontColor[i]);
    w.BgSaveInterval = r.getInt("BgSaveInterval", w.BgSaveInterval);
}

void readSetting(const IniReader& r, IniSettings::Setting& s) {
    s.BackupFileSize = r.getInt("BackupFileSize", s.BackupFileSize);
    s.BackupInterval = r.getInt("BackupInterval", s.BackupInterval);
    s.TimeBackup = r.getFlag("TimeBackup", s.TimeBackup);
    s.ExitBackup = r.getFlag("ExitBackup", s.ExitBackup);
    s.DeleteBackup = r.getFlag("DeleteBackup", s.DeleteBackup);
    s.QpdDirPath = r.getPath("QpdDirPath", s.QpdDirPath);
    s.BackupDirPath = r.getPath("BackupDirPath", s.BackupDirPath);
}

void readToolWindows(IniReader& r, IniSettings& s) {
    r.select("HOWTOWINDOW");
    s.howToWindow.Visible = r.getFlag("Visible", s.howToWindow.Visible);
    s.howToWindow.PosX = r.getInt("PosX", s.howToWindow.PosX);
    s.howToWindow.PosY = r.getInt("PosY", s.howToWindow.PosY);
    r.select("SEARCHWINDOW");
    IniSettings::SearchWindow& sw = s.searchWindow;
    sw.Visible = r.getFlag("Visible", sw.Visible);
    sw.PosX = r.getInt("PosX", sw.PosX);
    sw.PosY = r.getInt("PosY", sw.PosY);
    sw.Target = r.getInt("Target", sw.Target);
    sw.MatchCase = r.getFlag("MatchCase", sw.MatchCase);
    sw.Down = r.getFlag("Down", sw.Down);
}

// Values that would index past the program's tables, or mean nothing, are
// replaced by the defaults; the share is kept inside the splitter's range.
void replaceOutOfRange(IniSettings& s) {
    const IniSettings table;
    if (s.setting.BackupFileSize < 1 || s.setting.BackupFileSize > 100)
        s.setting.BackupFileSize = table.setting.BackupFileSize;
    if (s.setting.BackupInterval < 1) s.setting.BackupInterval = table.setting.BackupInterval;
    if (s.setting.BackupInterval > BACKUP_INTERVAL_MAX) s.setting.BackupInterval = BACKUP_INTERVAL_MAX;
    if (s.searchWindow.Target < 0 || s.searchWindow.Target > 3) s.searchWindow.Target = table.searchWindow.Target;
    if (s.window.DateString < 0 || s.window.DateString > 19) s.window.DateString = table.window.DateString;
    if (s.window.BgSaveInterval < 0) s.window.BgSaveInterval = BG_SAVE_OFF;
    if (s.window.TvWidthPer < TV_WIDTH_MIN) s.window.TvWidthPer = TV_WIDTH_MIN;
    if (s.window.TvWidthPer > TV_WIDTH_MAX) s.window.TvWidthPer = TV_WIDTH_MAX;
}

std::string num(int32_t v) { return std::to_string(v); }
std::string flag(bool v) { return v ? "1" : "0"; }

}  // namespace

IniSettings defaultSettings(int32_t desktopWidth, int32_t desktopHeight) {
    IniSettings s;
    s.window.PosX = desktopWidth / 2 - 320;
    s.window.PosY = desktopHeight / 2 - 240;
    return s;
}

int32_t parseIniInt(const std::string& text, int32_t defaultValue) {
    if (text.empty()) return defaultValue;
    size_t i = 0;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        i = 1;
    }
    // Accumulate toward the sign so that INT32_MIN fits; overlong numbers saturate.
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1) {
            value = int64_t(std::numeric_limits<int32_t>::max()) + 1;
        }
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
    return int32_t(value);
}

bool findIniValue(const std::string& text, const std::string& section, const std::string& key, std::string& value) {
    IniReader r(text);
    r.select(section.c_str());
    return r.find(key.c_str(), value);
}

IniSettings parseIni(const std::string& text, const IniSettings& defaults) {
    IniSettings s = defaults;
    IniReader r(text);
    r.select("WINDOW");
    readWindow(r, s.window);
    r.select("SETTING");
    readSetting(r, s.setting);
    readToolWindows(r, s);
    r.select("IME");
    s.ime.OnOff = r.getFlag("OnOff", s.ime.OnOff);
    s.ime.Conversion = r.getInt("Conversion", s.ime.Conversion);
    s.ime.Sentence = r.getInt("Sentence", s.ime.Sentence);
    replaceOutOfRange(s);
    return s;
}

IniSettings readIni(const std::string& iniPath, const IniSettings& defaults, FileFault* unreadable) {
    std::string text;
    FileFault fault = FileFault::None;
    const ReadBytesResult read = readFileBytes(iniPath, text, &fault);
    // a settings file never made, or the data folder of a first start, is no fault
    const bool absent = fault == FileFault::NoFile || fault == FileFault::NoFolder;
    if (unreadable) *unreadable = read == ReadBytesResult::Ok || absent ? FileFault::None : fault;
    return parseIni(read == ReadBytesResult::Ok ? text : std::string(), defaults);
}

void writeIniSection(std::string& fileText, const std::string& section, const std::vector<IniEntry>& entries) {
    fileText += "[" + section + "]\r\n";
    for (const IniEntry& e : entries) fileText += e.key + " = " + e.value + "\r\n";
}

std::string formatIni(const IniSettings& s) {
    std::string out;
    writeIniSection(out, "SOFTWARE", {{"SoftID", "qpad300"}});

    const IniSettings::Window& w = s.window;
    std::vector<IniEntry> window = {
        {"PosX", num(w.PosX)},
        {"PosY", num(w.PosY)},
        {"Width", num(w.Width)},
        {"Height", num(w.Height)},
        {"TvWidthPer", num(w.TvWidthPer)},
        {"Maximize", flag(w.Maximize)},
        {"AutoView", flag(w.AutoView)},
        {"AutoEdit", flag(w.AutoEdit)},
        {"AutoDate", flag(w.AutoDate)},
        {"DateString", num(w.DateString)},
        {"DeleteDialog", flag(w.DeleteDialog)},
        {"AutoBookmark", flag(w.AutoBookmark)},
        {"ExitBookmark", flag(w.ExitBookmark)},
        {"ExitScroll", flag(w.ExitScroll)},
        {"ParentSec", flag(w.ParentSec)},
    };
    for (int i = 0; i < 16; ++i) window.push_back({fontColorKey(i), num(w.FontColor[i])});
    window.push_back({"BgSaveInterval", num(w.BgSaveInterval)});
    writeIniSection(out, "WINDOW", window);

    const IniSettings::Setting& st = s.setting;
    std::vector<IniEntry> setting = {
        {"BackupFileSize", num(st.BackupFileSize)}, {"BackupInterval", num(st.BackupInterval)},
        {"TimeBackup", flag(st.TimeBackup)},        {"ExitBackup", flag(st.ExitBackup)},
        {"DeleteBackup", flag(st.DeleteBackup)},
    };
    if (!st.QpdDirPath.empty()) setting.push_back({"QpdDirPath", boundPath(st.QpdDirPath)});
    if (!st.BackupDirPath.empty()) setting.push_back({"BackupDirPath", boundPath(st.BackupDirPath)});
    writeIniSection(out, "SETTING", setting);

    writeIniSection(out, "HOWTOWINDOW",
                    {{"Visible", flag(s.howToWindow.Visible)},
                     {"PosX", num(s.howToWindow.PosX)},
                     {"PosY", num(s.howToWindow.PosY)}});
    const IniSettings::SearchWindow& sw = s.searchWindow;
    writeIniSection(out, "SEARCHWINDOW",
                    {{"Visible", "0"},
                     {"PosX", num(sw.PosX)},
                     {"PosY", num(sw.PosY)},
                     {"Target", num(sw.Target)},
                     {"MatchCase", flag(sw.MatchCase)},
                     {"Down", flag(sw.Down)}});
    writeIniSection(
        out, "IME",
        {{"OnOff", flag(s.ime.OnOff)}, {"Conversion", num(s.ime.Conversion)}, {"Sentence", num(s.ime.Sentence)}});
    return out;
}

bool writeIni(const std::string& iniPath, const IniSettings& settings) {
    return writeFileAtomically(iniPath, formatIni(settings));
}

}  // namespace ini
