#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "solver/LastSolve.h"
#include "workspace/Workspace.h"

// What --picture asks of --solve: the network (or one node's neighbourhood)
// drawn as the picture window draws it, into an SVG or PNG file.
struct PictureRequest {
    std::string file;  // empty: no picture
    bool png = false;
    double scale = 2;    // PNG pixels per point
    std::string around;  // a node number or name; empty: the whole network
    int steps = 1;
};

// The options --picture, --scale, --around and --steps of the command line.
struct PictureOptions {
    PictureOptions();
    void AddTo(QCommandLineParser& parser) const;
    // Reads them into request; the usage error when they do not fit together.
    std::optional<QString> Read(const QCommandLineParser& parser, bool solve,
                                PictureRequest& request) const;

    QCommandLineOption picture;
    QCommandLineOption scale;
    QCommandLineOption around;
    QCommandLineOption steps;
};

// The picture drawn, ready to be written.
struct PreparedPicture {
    std::string file;
    std::string contents;
};

// Whether the picture can be drawn of the problem as it stands, found before
// the solve: 0, or bad arguments after the message on standard error for a
// node that does not exist or is not unique, or a whole picture above the
// limit without --around.
int CheckPictureRequest(const PictureRequest& request, const kav::Workspace& ws);

// Draws the requested picture of the solved Workspace with its current
// solution (nothing when none is requested). Returns 0, or the exit status after its message on
// standard error: bad arguments for a node that does not exist or is not unique, a whole picture
// above the limit without --around, or a PNG above 16 million pixels; not written when it cannot be
// drawn.
int PreparePicture(const PictureRequest& request, const kav::Workspace& ws,
                   const kav::SolutionState& solution, std::optional<PreparedPicture>& prepared);

// Writes the drawn picture; false (after the message) when it was not written.
bool WritePicture(const PreparedPicture& picture, const std::vector<std::string>& problemFiles);
