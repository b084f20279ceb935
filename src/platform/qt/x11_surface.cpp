#include "platform/qt/x11_surface.h"

#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>  // xcb_poll_for_reply

#include <cstdlib>
#include <vector>

#include <QEvent>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QRegion>

#include "platform/canvas.h"

namespace jumblix {

namespace {

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

// The shared memory is only reachable by a server on this machine, and descriptors pass only
// over a local socket: anything else would end the connection.
bool local_connection(xcb_connection_t* c) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  return getsockname(xcb_get_file_descriptor(c), reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
         address.ss_family == AF_UNIX;
}

bool shared_memory_by_descriptor(xcb_connection_t* c) {
  const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c, &xcb_shm_id);
  if (!shm || !shm->present) return false;
  Reply<xcb_shm_query_version_reply_t> version(
      xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr));
  return version && (version->major_version > 1 ||
                     (version->major_version == 1 && version->minor_version >= 2));
}

// True when the window takes the canvas's pixels as they are: 32 bits a pixel, least
// significant byte first, red, green and blue in the canvas's places.
bool takes_canvas_pixels(xcb_connection_t* c, xcb_window_t window, std::uint8_t* depth) {
  const xcb_setup_t* setup = xcb_get_setup(c);
  if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
  Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
  Reply<xcb_get_window_attributes_reply_t> attributes(
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
  if (!geometry || !attributes) return false;
  *depth = geometry->depth;
  if (*depth != 24 && *depth != 32) return false;

  bool packed = false;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
    if (f.data->depth == *depth) packed = f.data->bits_per_pixel == 32;
  if (!packed) return false;

  for (auto s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s))
    for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d))
      for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
        if (v.data->visual_id == attributes->visual)
          return v.data->red_mask == 0xFF0000 && v.data->green_mask == 0xFF00 && v.data->blue_mask == 0xFF;
  return false;
}

}  // namespace

// The connection's side of the surface: the window, the canvas's pixels in memory the server
// maps too, and the question that tells when the server has read them.
struct X11Surface::Server : PixelMemory {
  struct Segment {
    std::uint32_t* pixels;
    std::size_t bytes;
    xcb_shm_seg_t id;
  };

  xcb_connection_t* c = nullptr;
  xcb_window_t window = 0;
  std::uint8_t depth = 0;
  xcb_gcontext_t gc = 0;  // no exposure events; black for what lies beyond the canvas
  std::vector<Segment> segments;  // lent to the canvas: one, two while it resizes
  // Asked right after a frame was sent: the server answers it only after reading that frame.
  xcb_get_input_focus_cookie_t read_back{};
  bool asked = false;

  ~Server() override {
    wait_until_read();
    for (const Segment& s : segments) {
      xcb_shm_detach(c, s.id);
      munmap(s.pixels, s.bytes);
    }
    if (gc) xcb_free_gc(c, gc);
    xcb_flush(c);
  }

  std::uint32_t* lend(int width, int height) override {
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    const int fd = memfd_create("jumblix-canvas", MFD_CLOEXEC);
    if (fd < 0) return nullptr;
    void* memory = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(bytes)) == 0)
      memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
      ::close(fd);
      return nullptr;
    }
    // The server maps it read-only; the descriptor is closed once it has been sent.
    const xcb_shm_seg_t id = xcb_generate_id(c);
    if (xcb_generic_error_t* error = xcb_request_check(c, xcb_shm_attach_fd_checked(c, id, fd, 1))) {
      std::free(error);
      munmap(memory, bytes);
      return nullptr;
    }
    segments.push_back({static_cast<std::uint32_t*>(memory), bytes, id});
    return segments.back().pixels;
  }

  // The server finishes every request before the next, so a detach never cuts a read short.
  void give_back(std::uint32_t* pixels) override {
    for (auto s = segments.begin(); s != segments.end(); ++s)
      if (s->pixels == pixels) {
        xcb_shm_detach(c, s->id);
        munmap(s->pixels, s->bytes);
        segments.erase(s);
        return;
      }
  }

  // Normally answered long ago (a frame apart); only a server far behind makes this wait.
  void before_drawing() override { wait_until_read(); }

  void wait_until_read() {
    if (!asked) return;
    asked = false;
    void* reply = nullptr;
    xcb_generic_error_t* error = nullptr;
    if (!xcb_poll_for_reply(c, read_back.sequence, &reply, &error))
      reply = xcb_get_input_focus_reply(c, read_back, &error);
    std::free(reply);
    std::free(error);
  }

  // The server copies the rectangles from the canvas's own pixels; false when the canvas
  // does not keep them in memory lent here.
  bool send(const CanvasPixels& canvas, const QRegion& region) {
    const Segment* segment = nullptr;
    for (const Segment& s : segments)
      if (s.pixels == canvas.pixels.data()) segment = &s;
    const QRect bounds(0, 0, canvas.width, canvas.height);
    if (!segment && !bounds.isEmpty()) return false;
    for (const QRect& asked_for : region) {
      const QRect r = asked_for & bounds;
      if (r.isEmpty()) continue;
      xcb_shm_put_image(c, window, gc, static_cast<std::uint16_t>(canvas.width),
                        static_cast<std::uint16_t>(canvas.height), static_cast<std::int16_t>(r.x()),
                        static_cast<std::int16_t>(r.y()), static_cast<std::uint16_t>(r.width()),
                        static_cast<std::uint16_t>(r.height()), static_cast<std::int16_t>(r.x()),
                        static_cast<std::int16_t>(r.y()), depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment->id, 0);
    }
    // Anything beyond the canvas (only while a resize is under way) is black.
    std::vector<xcb_rectangle_t> beyond;
    for (const QRect& r : region - bounds)
      beyond.push_back({static_cast<std::int16_t>(r.x()), static_cast<std::int16_t>(r.y()),
                        static_cast<std::uint16_t>(r.width()), static_cast<std::uint16_t>(r.height())});
    if (!beyond.empty())
      xcb_poly_fill_rectangle(c, window, gc, static_cast<std::uint32_t>(beyond.size()), beyond.data());
    read_back = xcb_get_input_focus(c);
    asked = true;
    xcb_flush(c);
    return true;
  }
};

X11Surface* X11Surface::create(QWidget& parent, Canvas& canvas) {
  if (QGuiApplication::platformName() != QLatin1String("xcb") || qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
    return nullptr;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return nullptr;
  auto server = std::make_unique<Server>();
  server->c = x11->connection();
  if (!local_connection(server->c) || !shared_memory_by_descriptor(server->c)) return nullptr;

  auto* surface = new X11Surface(parent, canvas);
  server->window = static_cast<xcb_window_t>(surface->winId());
  if (!takes_canvas_pixels(server->c, server->window, &server->depth) || !surface->usable()) {
    delete surface;
    return nullptr;
  }
  server->gc = xcb_generate_id(server->c);
  const std::uint32_t values[] = {0, 0};  // foreground black, no graphics exposures
  xcb_create_gc(server->c, server->gc, server->window, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
  surface->server_ = std::move(server);
  canvas.use_memory(surface->server_.get());
  return surface;
}

X11Surface::X11Surface(QWidget& parent, Canvas& canvas) : QWidget(&parent), canvas_(canvas) {
  // Only the surface is a window of its own: the drawing area and the controls stay Qt's.
  QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
  setAttribute(Qt::WA_DontCreateNativeAncestors);
  setAttribute(Qt::WA_NativeWindow);
  setAttribute(Qt::WA_PaintOnScreen);
  setAttribute(Qt::WA_NoSystemBackground);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  setGeometry(parent.rect());
  lower();
}

X11Surface::~X11Surface() { retire(); }

void X11Surface::retire() {
  if (!server_) return;
  canvas_.use_memory(nullptr);
  server_.reset();
  hide();
}

// Pixels of the canvas are pixels of the screen only at scale 1.
bool X11Surface::usable() const { return devicePixelRatioF() == 1.0; }

void X11Surface::check_scale() {
  usable_ = usable();
  if (usable_ || !server_) return;
  retire();
  if (QWidget* area = parentWidget()) area->update();
}

bool X11Surface::event(QEvent* event) {
  const QEvent::Type type = event->type();
  const bool handled = QWidget::event(event);
  // Sent to every widget of a window that moved to another screen, once its scale is known.
  if (type == QEvent::ScreenChangeInternal || type == QEvent::Resize || type == QEvent::Show) check_scale();
  return handled;
}

bool X11Surface::show_rects(const QRegion& region) {
  // The scale is told by the events above; it is also looked up about once a second, should
  // it change some other way: the lookup costs more than the rest of a frame's bookkeeping.
  if (++shown_ % 64 == 0) usable_ = usable();
  if (server_ && usable_ && server_->send(canvas_.image(), region)) return true;
  retire();
  return false;
}

void X11Surface::paintEvent(QPaintEvent* event) { show_rects(event->region()); }

}  // namespace jumblix
