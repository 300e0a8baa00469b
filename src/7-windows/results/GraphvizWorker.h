#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>

#include "results/GraphLayout.h"
#include "results/NetworkPicture.h"

class QThread;

// What one Graphviz job gives back: the layout of the graph.
struct PictureResult {
    uint64_t id = 0;
    kav::PictureGraph graph;
    kav::GraphLayout layout;
    // Empty when the job worked.
    QString error;
};
using PictureResultPtr = std::shared_ptr<const PictureResult>;
Q_DECLARE_METATYPE(PictureResultPtr)

// The one thread on which the program calls Graphviz. Graphviz keeps global
// state and is not thread-safe, so every layout of the program is queued here and runs alone, in
// the order submitted, off the user interface thread. Created on first use; ends with the
// application.
class GraphvizWorker : public QObject {
    Q_OBJECT
  public:
    static GraphvizWorker& Instance();
    ~GraphvizWorker() override;

    // Queues a layout of graph; finished() reports it with the returned id.
    uint64_t Submit(kav::PictureGraph graph);

  signals:
    // Emitted on the worker thread; receivers in the user interface thread
    // get it queued.
    void finished(PictureResultPtr result);

  private:
    explicit GraphvizWorker(QObject* parent);

    QThread* thread_ = nullptr;
    QObject* runner_ = nullptr;  // lives on thread_; jobs are invoked on it
    uint64_t lastId_ = 0;
};
