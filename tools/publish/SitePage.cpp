#include "SitePage.h"

#include "Errors.h"
#include "WebFiles.h"

#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string HtmlText(const QString& text)
{
    return text.toHtmlEscaped().toStdString();
}

void CopyFile(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    if (error)
        throw EWriteError(to.string());
}

} // namespace

void CheckLeaflet(const fs::path& leafletDir)
{
    for (const char* name : {"leaflet.js", "leaflet.css"}) {
        std::error_code error;
        if (!fs::is_regular_file(leafletDir / name, error))
            throw ELeafletMissing("Leaflet is not installed (" + (leafletDir / name).string() +
                                  " is missing): install the package libjs-leaflet");
    }
}

void WriteTextFile(const fs::path& fileName, const std::string& text)
{
    std::ofstream out(fileName, std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out)
        throw EWriteError(fileName.string());
}

void WriteSitePage(const fs::path& dir, const QString& title, const fs::path& leafletDir)
{
    std::string page = WebIndexHtml;
    const std::string marker = "@TITLE@";
    for (std::size_t at = page.find(marker); at != std::string::npos; at = page.find(marker, at)) {
        const std::string text = HtmlText(title);
        page.replace(at, marker.size(), text);
        at += text.size();
    }
    WriteTextFile(dir / "index.html", page);
    WriteTextFile(dir / "site.js", WebSiteJs);
    WriteTextFile(dir / "site.css", WebSiteCss);

    CheckLeaflet(leafletDir);
    const fs::path leaflet = dir / "leaflet";
    std::error_code error;
    fs::create_directories(leaflet / "images", error);
    if (error)
        throw EFCreateError((leaflet / "images").string());
    for (const char* name : {"leaflet.js", "leaflet.css"})
        CopyFile(leafletDir / name, leaflet / name);
    for (const fs::directory_entry& entry : fs::directory_iterator(leafletDir / "images", error))
        if (entry.is_regular_file())
            CopyFile(entry.path(), leaflet / "images" / entry.path().filename());
}
