#include "output_scales.h"

#include "wayland/wayland_globals.h"

#include "xdg-output-unstable-v1-client-protocol.h"

#include <QSize>
#include <wayland-client.h>

#include <algorithm>
#include <cstring>
#include <list>

namespace {

struct Output
{
    uint32_t global = 0;
    wl_output *output = nullptr;
    zxdg_output_v1 *xdgOutput = nullptr;
    QString name;
    QSize mode;
    bool turned = false;
    QSize logical;
};

class Outputs
{
public:
    explicit Outputs(const WaylandGlobals &globals);
    double ratio(const QString &name) const;

private:
    static void announce(void *data, wl_registry *registry, uint32_t global, const char *interface, uint32_t version);
    static void withdraw(void *data, wl_registry *registry, uint32_t global);

    // Makes the outputs' xdg-output objects, on the queue the registry has.
    zxdg_output_manager_v1 *manager_;
    std::list<Output> outputs_;
};

void geometry(void *data, wl_output *, int32_t, int32_t, int32_t, int32_t, int32_t, const char *, const char *,
              int32_t transform)
{
    // The odd transforms turn the output a quarter.
    static_cast<Output *>(data)->turned = transform & 1;
}

void mode(void *data, wl_output *, uint32_t flags, int32_t width, int32_t height, int32_t)
{
    if (flags & WL_OUTPUT_MODE_CURRENT)
        static_cast<Output *>(data)->mode = QSize(width, height);
}

void outputDone(void *, wl_output *) {}
void outputScale(void *, wl_output *, int32_t) {}
void outputText(void *, wl_output *, const char *) {}

void logicalPosition(void *, zxdg_output_v1 *, int32_t, int32_t) {}

void logicalSize(void *data, zxdg_output_v1 *, int32_t width, int32_t height)
{
    static_cast<Output *>(data)->logical = QSize(width, height);
}

void xdgDone(void *, zxdg_output_v1 *) {}

void name(void *data, zxdg_output_v1 *, const char *name)
{
    static_cast<Output *>(data)->name = QString::fromUtf8(name);
}

void description(void *, zxdg_output_v1 *, const char *) {}

const wl_output_listener outputListener{geometry, mode, outputDone, outputScale, outputText, outputText};
const zxdg_output_v1_listener xdgOutputListener{logicalPosition, logicalSize, xdgDone, name, description};

Outputs::Outputs(const WaylandGlobals &globals) : manager_(globals.outputManager)
{
    // The outputs there are now, asked on a queue of their own so that none of Qt's events are
    // handled meanwhile; the changes after, on Qt's queue as Qt handles its own events.
    wl_event_queue *queue = wl_display_create_queue(globals.display);
    auto *wrapper = static_cast<wl_display *>(wl_proxy_create_wrapper(globals.display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(wrapper), queue);
    wl_registry *registry = wl_display_get_registry(wrapper);
    wl_proxy_wrapper_destroy(wrapper);
    manager_ = static_cast<zxdg_output_manager_v1 *>(wl_proxy_create_wrapper(globals.outputManager));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(manager_), queue);
    static const wl_registry_listener listener{announce, withdraw};
    wl_registry_add_listener(registry, &listener, this);
    wl_display_roundtrip_queue(globals.display, queue);
    wl_display_roundtrip_queue(globals.display, queue);
    wl_proxy_wrapper_destroy(manager_);
    manager_ = globals.outputManager;
    wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(registry), nullptr);
    for (Output &output : outputs_) {
        wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(output.output), nullptr);
        wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(output.xdgOutput), nullptr);
    }
    wl_event_queue_destroy(queue);
}

void Outputs::announce(void *data, wl_registry *registry, uint32_t global, const char *interface, uint32_t version)
{
    auto &outputs = *static_cast<Outputs *>(data);
    if (std::strcmp(interface, wl_output_interface.name) != 0 || version < 2)
        return;
    Output &output = outputs.outputs_.emplace_back();
    output.global = global;
    output.output = static_cast<wl_output *>(wl_registry_bind(registry, global, &wl_output_interface, 2));
    wl_output_add_listener(output.output, &outputListener, &output);
    output.xdgOutput = zxdg_output_manager_v1_get_xdg_output(outputs.manager_, output.output);
    zxdg_output_v1_add_listener(output.xdgOutput, &xdgOutputListener, &output);
}

void Outputs::withdraw(void *data, wl_registry *, uint32_t global)
{
    auto &outputs = static_cast<Outputs *>(data)->outputs_;
    const auto gone = std::find_if(outputs.begin(), outputs.end(), [&](const Output &o) { return o.global == global; });
    if (gone == outputs.end())
        return;
    zxdg_output_v1_destroy(gone->xdgOutput);
    wl_output_destroy(gone->output);
    outputs.erase(gone);
}

double Outputs::ratio(const QString &name) const
{
    for (const Output &output : outputs_) {
        const int width = output.turned ? output.mode.height() : output.mode.width();
        if (output.name == name && width > 0 && output.logical.width() > 0)
            return double(width) / output.logical.width();
    }
    return 0;
}

} // namespace

double OutputPixelRatio(const QString &outputName)
{
    const WaylandGlobals *globals = WaylandGlobals::get();
    if (!globals || !globals->outputManager)
        return 0;
    static const Outputs outputs(*globals);
    return outputs.ratio(outputName);
}
