#include "results/GraphLayout.h"

#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace kav {

namespace {

// Graphviz takes its names and attribute values as char* but only copies
// them; the casts below never let it write into a caller's string.
char* Text(const std::string& text) {
    return const_cast<char*>(text.c_str());
}

void Set(void* object, const std::string& name, const std::string& value) {
    agsafeset(object, Text(name), Text(value), Text(""));
}

// A node name as a Graphviz label: a backslash would start an escape.
std::string Label(const std::string& name) {
    std::string label;
    for (char c : name) {
        if (c == '\\')
            label += '\\';
        label += c;
    }
    return label;
}

// One Graphviz context for the whole run, never freed: this Graphviz keeps
// the font of its last text measurement between contexts, so a context freed
// and another made later would read freed memory.
GVC_t* SharedContext() {
    static GVC_t* const context = [] {
        agseterr(AGERR);  // warnings (overlap removal, fonts) are not errors
        return gvContext();
    }();
    return context;
}

// One graph for one layout, freed in the right order whatever happens between.
class LaidOutGraph {
  public:
    explicit LaidOutGraph(const PictureGraph& picture) {
        context_ = SharedContext();
        if (context_ == nullptr)
            throw std::runtime_error("Graphviz could not start");
        try {
            graph_ = agopen(Text("network"), Agdirected, nullptr);
            Build(picture);
            const char* engine = picture.nodes.size() <= DotMaxNodes ? "dot" : "sfdp";
            // sfdp draws its starting places from the C library's generators.
            srand48(1);
            std::srand(1);
            if (gvLayout(context_, graph_, engine) != 0)
                throw std::runtime_error(std::string("Graphviz could not lay out with ") + engine);
            laidOut_ = true;
        } catch (...) {
            Free();
            throw;
        }
    }
    ~LaidOutGraph() { Free(); }
    LaidOutGraph(const LaidOutGraph&) = delete;
    LaidOutGraph& operator=(const LaidOutGraph&) = delete;

    Agraph_t* Graph() const { return graph_; }
    const std::vector<Agnode_t*>& Nodes() const { return nodes_; }
    const std::vector<Agedge_t*>& Links() const { return links_; }

  private:
    void Free() {
        if (laidOut_)
            gvFreeLayout(context_, graph_);
        if (graph_ != nullptr)
            agclose(graph_);
        laidOut_ = false;
        graph_ = nullptr;
    }

    // Nodes, then links, each in number order: the same problem gives
    // Graphviz the same input and so the same picture.
    void Build(const PictureGraph& picture) {
        Set(graph_, "charset", "latin1");
        Set(graph_, "rankdir", "LR");
        // Overlaps removed by scaling: the other removers of this Graphviz
        // version do not give the same places twice.
        Set(graph_, "overlap", "scale");
        Set(graph_, "outputorder", "edgesfirst");
        // sfdp starts from random places; a fixed seed makes it repeat.
        Set(graph_, "start", "1");
        std::vector<Agnode_t*> byNumber;
        for (const PictureNode& node : picture.nodes) {
            const std::string id = "node" + std::to_string(node.node);
            Agnode_t* n = agnode(graph_, Text(id), 1);
            Set(n, "id", id);
            Set(n, "label", Label(node.name));
            Set(n, "fontname", PictureFontFamily);
            Set(n, "fontsize", "10");
            Set(n, "height", "0.3");
            if (byNumber.size() <= static_cast<std::size_t>(node.node))
                byNumber.resize(static_cast<std::size_t>(node.node) + 1, nullptr);
            byNumber[static_cast<std::size_t>(node.node)] = n;
            nodes_.push_back(n);
        }
        auto find = [&byNumber](int32_t node) -> Agnode_t* {
            if (node < 0 || static_cast<std::size_t>(node) >= byNumber.size())
                return nullptr;
            return byNumber[static_cast<std::size_t>(node)];
        };
        for (const PictureLink& link : picture.links) {
            Agnode_t* origin = find(link.origin);
            Agnode_t* dest = find(link.dest);
            if (origin == nullptr || dest == nullptr)
                throw std::runtime_error("a link ends outside the picture");
            const std::string id = "link" + std::to_string(link.link);
            Agedge_t* e = agedge(graph_, origin, dest, Text(id), 1);
            Set(e, "id", id);
            Set(e, "penwidth", std::to_string(link.width));
            if (link.returning)
                Set(e, "constraint", "false");
            if (!link.label.empty()) {
                Set(e, "label", link.label);
                Set(e, "fontname", PictureFontFamily);
                Set(e, "fontsize", "9");
            }
            links_.push_back(e);
        }
    }

    GVC_t* context_ = nullptr;
    Agraph_t* graph_ = nullptr;
    bool laidOut_ = false;
    std::vector<Agnode_t*> nodes_;
    std::vector<Agedge_t*> links_;
};

constexpr double PointsPerInch = 72.0;

}  // namespace

GraphLayout LayOutGraph(const PictureGraph& graph) {
    LaidOutGraph laid(graph);
    const boxf box = GD_bb(laid.Graph());
    // Graphviz's y grows upward; the picture's downward.
    auto place = [&box](pointf p) { return LayoutPoint{p.x - box.LL.x, box.UR.y - p.y}; };
    GraphLayout layout;
    layout.width = box.UR.x - box.LL.x;
    layout.height = box.UR.y - box.LL.y;
    for (std::size_t i = 0; i < graph.nodes.size(); ++i) {
        Agnode_t* n = laid.Nodes()[i];
        layout.nodes.push_back({graph.nodes[i].node, place(ND_coord(n)),
                                ND_width(n) * PointsPerInch, ND_height(n) * PointsPerInch});
    }
    for (std::size_t i = 0; i < graph.links.size(); ++i) {
        Agedge_t* e = laid.Links()[i];
        LinkRoute route;
        route.link = graph.links[i].link;
        const splines* spl = ED_spl(e);
        if (spl != nullptr && spl->size > 0) {
            const bezier& curve = spl->list[0];
            for (int p = 0; p < curve.size; ++p)
                route.curve.push_back(place(curve.list[p]));
            route.hasArrow = curve.eflag != 0;
            if (route.hasArrow)
                route.arrowTip = place(curve.ep);
        }
        const textlabel_t* label = ED_label(e);
        if (label != nullptr && label->set) {
            route.hasLabel = true;
            route.labelCentre = place(label->pos);
        }
        layout.links.push_back(std::move(route));
    }
    return layout;
}

}  // namespace kav
