// The files of web/, built into the program by EmbedWeb.cmake.
#pragma once

extern const char WebIndexHtml[];
extern const char WebSiteJs[];
extern const char WebSiteCss[];
