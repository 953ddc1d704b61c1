// A world for window tests: a temporary working directory with a map and a
// location file written by the test, and the window started in it. Errors the
// application would show are collected instead of shown.
#pragma once

#include "../map/TestJpeg.h"

#include "Application.h"
#include "Mainunit.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <memory>
#include <string>

class TTestWorld {
public:
    TTestWorld() : OldDir(QDir::currentPath())
    {
        QDir::setCurrent(Dir.path());
        App()->SetErrorBox([this](const QString&, const QString& text) { Errors << text; });
    }

    ~TTestWorld()
    {
        App()->SetErrorBox({});
        QDir::setCurrent(OldDir);
    }

    TTestWorld(const TTestWorld&) = delete;
    TTestWorld& operator=(const TTestWorld&) = delete;

    static TApplication* App() { return static_cast<TApplication*>(QCoreApplication::instance()); }

    static void WriteMap(const TBitmap& picture) { WriteTestFile(MapFileName, EncodeTestJpeg(picture)); }

    static void WriteLocations(const std::string& text)
    {
        WriteTestFile(LocationsFileName, std::vector<std::uint8_t>(text.begin(), text.end()));
    }

    // One record of the database, its coordinates as "X,Y".
    static std::string Record(const std::string& name, int type, const std::string& position)
    {
        return "[loc]\nname: " + name + "\narea: -\nsize: -\ntype: " + std::to_string(type) +
               "\nicon: -\nnote: -\npos:  " + position + "\n";
    }

    // Shows the window, which runs the start-up sequence.
    static std::unique_ptr<TMainForm> Start()
    {
        auto form = std::make_unique<TMainForm>();
        form->show();
        QCoreApplication::processEvents();
        return form;
    }

    QTemporaryDir Dir;
    QString OldDir;
    QStringList Errors;
};
