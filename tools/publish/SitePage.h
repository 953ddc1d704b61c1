// The page of a published map and what it loads: index.html (the title
// filled in, HTML-escaped), our script site.js and style site.css (kept in
// web/ and built into the program), and Leaflet, copied from the folder of
// Debian's libjs-leaflet into leaflet/ (leaflet.js, leaflet.css and the
// images beside them), so that the site needs nothing from outside.
//
// Errors: ELeafletMissing when the Leaflet folder lacks leaflet.js or
// leaflet.css; EWriteError "Cannot write file NAME" for a file that could not
// be written or copied.
#pragma once

#include <QString>

#include <filesystem>
#include <stdexcept>
#include <string>

inline constexpr const char* DebianLeafletDir = "/usr/share/javascript/leaflet";

class ELeafletMissing : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws ELeafletMissing unless leafletDir holds Leaflet.
void CheckLeaflet(const std::filesystem::path& leafletDir);

void WriteTextFile(const std::filesystem::path& fileName, const std::string& text);

void WriteSitePage(const std::filesystem::path& dir, const QString& title, const std::filesystem::path& leafletDir);
