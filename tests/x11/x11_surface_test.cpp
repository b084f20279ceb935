// The drawing area's X11 surface on a real X server (Xvfb, started here; the tests are
// skipped where it is not installed): what the server shows is the canvas, pixel for pixel,
// after a frame, after the next one drawn over it, and after a resize.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <QApplication>
#include <QRegion>
#include <QScreen>
#include <QWindow>
#include <QTest>
#include <QWidget>

#include "platform/canvas.h"
#include "platform/palette.h"
#include "platform/qt/x11_surface.h"

// Qt's own way to give a screen another scale, as a monitor of another scale would have
// (exported by Qt for its platform code and tests).
class QHighDpiScaling {
 public:
  static void setScreenFactor(QScreen* screen, qreal factor);
};

namespace {

pid_t x_server = 0;

// Starts Xvfb on a display it picks itself; false where there is none.
bool start_x_server() {
  int fds[2];
  if (pipe(fds) != 0) return false;
  x_server = fork();
  if (x_server == 0) {
    close(fds[0]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDERR_FILENO);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string display;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') display += c;
  close(fds[0]);
  if (display.empty()) return false;
  setenv("DISPLAY", (":" + display).c_str(), 1);
  return true;
}

void stop_x_server() {
  if (x_server <= 0) return;
  kill(x_server, SIGTERM);
  waitpid(x_server, nullptr, 0);
}

bool have_x_server = false;

// What the server shows in the window, as 0xAARRGGBB with the alpha set.
std::vector<std::uint32_t> shown(WId window, int width, int height) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* c = x11->connection();
  std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> image(
      xcb_get_image_reply(c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, static_cast<xcb_window_t>(window), 0, 0,
                                           static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height),
                                           ~0u),
                          nullptr),
      &std::free);
  if (!image) return {};
  const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
  std::vector<std::uint32_t> pixels(data, data + static_cast<std::size_t>(width) * height);
  for (std::uint32_t& p : pixels) p |= 0xFF000000u;
  return pixels;
}

std::vector<std::uint32_t> pixels_of(const jumblix::Canvas& canvas) {
  const auto view = canvas.image().pixels;
  return {view.begin(), view.end()};
}

TEST(X11Surface, TheServerShowsTheCanvasFrameAfterFrame) {
  if (!have_x_server) GTEST_SKIP() << "no Xvfb";
  jumblix::Canvas canvas(64, 48);
  QWidget area;
  area.resize(64, 48);
  jumblix::X11Surface* surface = jumblix::X11Surface::create(area, canvas);
  ASSERT_NE(surface, nullptr) << "Xvfb has shared memory with descriptors";
  area.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));

  canvas.fill_box(9, 0, 0, 63, 47);
  canvas.fill_box(12, 10, 5, 30, 20);
  canvas.take_dirty();
  ASSERT_TRUE(surface->show_rects(QRegion(0, 0, 64, 48)));
  EXPECT_EQ(shown(surface->winId(), 64, 48), pixels_of(canvas));

  // The next frame draws over what the server read last: only the changed box is sent.
  canvas.fill_box(14, 20, 10, 40, 30);
  canvas.take_dirty();
  ASSERT_TRUE(surface->show_rects(QRegion(20, 10, 21, 21)));
  EXPECT_EQ(shown(surface->winId(), 64, 48), pixels_of(canvas));

  // Grown, the canvas moves to new shared memory; what lies beyond it is black.
  canvas.resize(80, 48);
  area.resize(96, 48);
  surface->resize(96, 48);
  canvas.fill_box(10, 64, 0, 79, 47);
  canvas.take_dirty();
  ASSERT_TRUE(surface->show_rects(QRegion(0, 0, 96, 48)));
  const std::vector<std::uint32_t> screen = shown(surface->winId(), 96, 48);
  ASSERT_EQ(screen.size(), 96u * 48u);
  const jumblix::CanvasPixels image = canvas.image();
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 96; ++x)
      ASSERT_EQ(screen[static_cast<std::size_t>(y) * 96 + x], x < 80 ? image.at(x, y) : 0xFF000000u)
          << x << "," << y;

  const std::vector<std::uint32_t> before = pixels_of(canvas);
  delete surface;  // the canvas takes its pixels back
  EXPECT_EQ(pixels_of(canvas), before);
}

// The window lands on a screen of scale 2 (as when it is moved to a second monitor): the
// surface gives up at once, before any frame, and Qt paints the whole drawing area.
TEST(X11Surface, GivesUpAtOnceOnAScreenOfAnotherScale) {
  if (!have_x_server) GTEST_SKIP() << "no Xvfb";
  jumblix::Canvas canvas(64, 48);
  canvas.fill_box(9, 0, 0, 63, 47);
  QWidget area;
  area.resize(64, 48);
  jumblix::X11Surface* surface = jumblix::X11Surface::create(area, canvas);
  ASSERT_NE(surface, nullptr);
  area.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
  ASSERT_TRUE(surface->serving());
  const std::vector<std::uint32_t> before = pixels_of(canvas);

  QScreen* screen = area.screen();
  QHighDpiScaling::setScreenFactor(screen, 2);
  emit area.windowHandle()->screenChanged(screen);
  EXPECT_EQ(area.devicePixelRatioF(), 2.0);
  EXPECT_FALSE(surface->serving());
  EXPECT_TRUE(surface->isHidden());
  EXPECT_EQ(pixels_of(canvas), before) << "the canvas took its pixels back";
  QHighDpiScaling::setScreenFactor(screen, 1);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  have_x_server = start_x_server();
  int result = 0;
  {
    qputenv("QT_QPA_PLATFORM", "xcb");
    std::unique_ptr<QApplication> app;
    if (have_x_server) app = std::make_unique<QApplication>(argc, argv);
    result = RUN_ALL_TESTS();
  }
  stop_x_server();
  return result;
}
