#include "Dump.h"

#include "Text.h"

namespace qpdtool {

namespace {

// Writes `"name": value` pairs with commas between them.
class JsonObject {
public:
    JsonObject(std::string& out, const std::string& indent) : out_(out), indent_(indent) { out_ += "{"; }
    void raw(const char* name, const std::string& value) {
        out_ += first_ ? "\n" : ",\n";
        first_ = false;
        out_ += indent_ + "  \"" + name + "\": " + value;
    }
    void number(const char* name, long long value) { raw(name, std::to_string(value)); }
    void text(const char* name, const std::string& cp932) { raw(name, jsonString(cp932)); }
    void hex(const char* name, const void* bytes, std::size_t size) { raw(name, "\"" + lowerHex(bytes, size) + "\""); }
    void close() { out_ += "\n" + indent_ + "}"; }

private:
    std::string& out_;
    std::string indent_;
    bool first_ = true;
};

std::string headerJson(const DataFileHeader& h) {
    std::string out;
    JsonObject o(out, "  ");
    o.number("bookmark", h.bookmark);
    o.number("windowColourIndex", h.windowColourIndex);
    o.number("customWindowColour", h.customWindowColour);
    o.number("listLines", h.listLines);
    o.number("noWrap", h.noWrap);
    o.number("urlDetection", h.urlDetection);
    o.number("copyAsText", h.copyAsText);
    o.number("pasteAsText", h.pasteAsText);
    o.number("reserved20", h.reserved20);
    o.number("standardFontHeight", h.standardFontHeight);
    o.text("standardFontFace", fontFaceOf(h));
    o.hex("reserved60", h.reserved60, sizeof h.reserved60);
    o.number("reserved92", h.reserved92);
    o.number("standardFontColour", h.standardFontColour);
    o.number("textLimit", h.textLimit);
    o.number("extensionSize", h.extensionSize);
    o.number("extensionFormat", h.extensionFormat);
    o.number("listTextColour", h.listTextColour);
    o.number("listBackColour", h.listBackColour);
    o.number("memoBackColour", h.memoBackColour);
    o.number("passwordRegistered", h.passwordRegistered);
    o.hex("checkValue", h.checkValue, sizeof h.checkValue);
    o.hex("salt", h.salt, sizeof h.salt);
    o.close();
    return out;
}

std::string recordJson(const PageRecord& r) {
    std::string out;
    JsonObject o(out, "    ");
    o.number("order", r.order);
    o.number("parentOrder", r.parentOrder);
    o.number("isFolder", r.isFolder);
    o.number("isExpanded", r.isExpanded);
    o.text("title", r.title);
    o.text("text", r.text);
    o.number("selStart", r.selStart);
    o.number("selEnd", r.selEnd);
    o.number("scrollH", r.scrollH);
    o.number("scrollV", r.scrollV);
    o.number("isSecure", r.isSecure);
    o.hex("textHash", r.textHash.data(), r.textHash.size());
    o.number("cipherLength", static_cast<long long>(r.cipher.size()));
    o.close();
    return out;
}

}  // namespace

std::string dumpJson(const Book& book) {
    std::string out;
    JsonObject o(out, "");
    o.text("format", book.magic);
    // The first generations have no version block: no save kind, no book number.
    o.raw("saveKind", book.older ? "null" : std::to_string(book.version.saveKind));
    o.raw("bookNumber", book.older ? "null" : std::to_string(book.version.bookNumber));
    o.raw("header", headerJson(book.header));
    o.number("extraBytes", book.extraBytes);
    std::string records = "[";
    for (int i = 0; i < book.table.count(); ++i) {
        records += i == 0 ? "\n    " : ",\n    ";
        records += recordJson(book.table.recordAt(i));
    }
    records += book.table.count() > 0 ? "\n  ]" : "]";
    o.raw("records", records);
    o.close();
    out += "\n";
    return out;
}

}  // namespace qpdtool
