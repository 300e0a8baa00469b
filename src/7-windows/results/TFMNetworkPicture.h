#pragma once

#include <QMainWindow>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "drawing/PictureDrawing.h"
#include "results/GraphvizWorker.h"

class QCheckBox;
class QComboBox;
class QGraphicsItem;
class QGraphicsScene;
class QHideEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QWidget;
class ZoomPanView;

namespace kav {
class Prompts;
class Session;
}  // namespace kav

// The network picture: nodes as labelled shapes, links as arrows, laid out by
// Graphviz off the user interface thread and drawn by the same code as the
// PNG and SVG exports. After a solve a link's width grows with its flow, its
// colour tells its kilter state and its label its flow; tool tips give a
// node's potential and a link's results line. Problems too large to show whole
// start from a node search and show that node's neighbourhood. Opened from the
// results window; it holds no problem state of its own.
class TFMNetworkPicture : public QMainWindow {
    Q_OBJECT
  public:
    explicit TFMNetworkPicture(kav::Session& session, QWidget* parent = nullptr);
    ~TFMNetworkPicture() override;

    // Rebuilds the picture from the Workspace and shows the window, beside
    // the window `beside` where the screen has room for both.
    void ShowPicture(const QWidget* beside = nullptr);

    // Marks a link (0: none) as selected, as the results list asks.
    void HighlightLink(int32_t link);

    // What is on screen, as the exports draw it.
    const kav::PictureDrawing& Drawing() const { return drawing_; }

    // True while a layout is being computed.
    bool LayoutPending() const { return pendingLayout_ != 0; }

    // The graph and layout on screen (null: none).
    PictureResultPtr Shown() const { return shown_; }

  signals:
    // The user selected a link or node in the picture.
    void linkSelected(int32_t link);
    void nodeSelected(int32_t node);
    // A layout came back and is shown (or could not be drawn).
    void pictureReady();
    // The user asked to step through the last solve on the whole network.
    void stepThroughRequested();

  private slots:
    void FitButtonClick();
    void ZoomInButtonClick();
    void ZoomOutButtonClick();
    void ShowNodeButtonClick();
    void ExportPngButtonClick();
    void ExportSvgButtonClick();
    void LabelsBoxToggle();
    void CloseButtonClick();
    void StepThroughButtonClick();
    void SceneSelectionChange();

  protected:
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void CreateControls();
    void LayOutControls();
    void ConnectHandlers();

    void Submit(kav::PictureGraph graph);
    void Relayout(kav::PictureGraph graph);
    void WorkerFinished(const PictureResultPtr& result);
    void ShowLayout(const PictureResultPtr& result);
    void DrawLayout();
    void ShowBusy(bool busy);
    void ShowStatus();
    bool MayStepThrough() const;
    void ForgetPicture();
    QString SpokenItem(int kind, int32_t number) const;
    bool ChooseExportFile(const char* filterName, const char* extension, std::string& fileName);
    void WriteExport(const std::string& fileName, const std::optional<std::string>& contents,
                     const QString& note);

    kav::Prompts& prompts_;
    kav::Session& session_;
    QWidget* searchRow_ = nullptr;
    QLineEdit* nodeSearch_ = nullptr;
    QSpinBox* stepsBox_ = nullptr;
    QPushButton* showNodeButton_ = nullptr;
    QPushButton* zoomInButton_ = nullptr;
    QPushButton* zoomOutButton_ = nullptr;
    QPushButton* fitButton_ = nullptr;
    QPushButton* exportPngButton_ = nullptr;
    QPushButton* exportSvgButton_ = nullptr;
    QComboBox* scaleBox_ = nullptr;
    QCheckBox* labelsBox_ = nullptr;
    QPushButton* stepThroughButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QLabel* legend_ = nullptr;
    QGraphicsScene* scene_ = nullptr;
    ZoomPanView* view_ = nullptr;
    QLabel* statusText_ = nullptr;
    QLabel* standingText_ = nullptr;  // how far the flows shown can be trusted
    QProgressBar* busy_ = nullptr;

    uint64_t pendingLayout_ = 0;
    PictureResultPtr shown_;       // the graph and layout on screen
    kav::PictureDrawing drawing_;  // what is on screen, as the exports draw it
    kav::FlowStanding standing_ = kav::FlowStanding::None;
    bool selectingFromCode_ = false;
    // The items selected before the latest change, to tell which one is new.
    QList<QGraphicsItem*> previousSelection_;
    // The node whose neighbourhood is shown (0: the whole network).
    int32_t centreNode_ = 0;
};
