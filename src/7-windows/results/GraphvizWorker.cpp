#include "results/GraphvizWorker.h"

#include <QCoreApplication>
#include <QThread>
#include <exception>

GraphvizWorker& GraphvizWorker::Instance() {
    static GraphvizWorker* worker = nullptr;
    if (worker == nullptr) {
        qRegisterMetaType<PictureResultPtr>();
        worker = new GraphvizWorker(QCoreApplication::instance());
        QObject::connect(worker, &QObject::destroyed, [] { worker = nullptr; });
    }
    return *worker;
}

GraphvizWorker::GraphvizWorker(QObject* parent) : QObject(parent) {
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("Graphviz"));
    runner_ = new QObject;
    runner_->moveToThread(thread_);
    QObject::connect(thread_, &QThread::finished, runner_, &QObject::deleteLater);
    thread_->start();
}

// A job already running finishes first; queued ones are dropped.
GraphvizWorker::~GraphvizWorker() {
    thread_->quit();
    thread_->wait();
    delete thread_;
}

uint64_t GraphvizWorker::Submit(kav::PictureGraph graph) {
    const uint64_t id = ++lastId_;
    QMetaObject::invokeMethod(
        runner_,
        [this, id, graph = std::move(graph)]() mutable {
            auto result = std::make_shared<PictureResult>();
            result->id = id;
            try {
                result->layout = kav::LayOutGraph(graph);
            } catch (const std::exception& error) {
                result->error = QString::fromLocal8Bit(error.what());
            }
            result->graph = std::move(graph);
            emit finished(result);
        },
        Qt::QueuedConnection);
    return id;
}
