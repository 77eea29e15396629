#include "platform/png_writer.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace pf {
namespace {

void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

// libpng reports errors through a longjmp; the message is kept here first.
struct ErrorState {
  char message[256] = {};
};

void OnPngError(png_structp png, png_const_charp message) {
  auto* state = static_cast<ErrorState*>(png_get_error_ptr(png));
  if (state) std::snprintf(state->message, sizeof state->message, "%s", message ? message : "unknown error");
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Encodes into an open file; false with a message on failure. Kept apart from
// anything with a destructor because libpng unwinds with longjmp.
bool Encode(std::FILE* file, const Surface& surface, const std::vector<png_bytep>& rows, ErrorState& state) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnPngError, OnPngWarning);
  if (!png) {
    std::snprintf(state.message, sizeof state.message, "out of memory");
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    std::snprintf(state.message, sizeof state.message, "out of memory");
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(surface.Width()), static_cast<png_uint_32>(surface.Height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, const_cast<png_bytepp>(rows.data()));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const Surface& surface, const std::string& path, std::string* error) {
  if (surface.Empty()) {
    SetError(error, "cannot write " + path + ": the picture is empty");
    return false;
  }
  if (path.empty()) {
    SetError(error, "cannot write a picture: no file name given");
    return false;
  }
  // RGB rows, made before libpng starts.
  const std::size_t w = static_cast<std::size_t>(surface.Width());
  std::vector<png_byte> bytes(w * 3 * static_cast<std::size_t>(surface.Height()));
  std::vector<png_bytep> rows(static_cast<std::size_t>(surface.Height()));
  for (int y = 0; y < surface.Height(); ++y) {
    png_bytep out = bytes.data() + static_cast<std::size_t>(y) * w * 3;
    rows[static_cast<std::size_t>(y)] = out;
    const Pixel* in = surface.Row(y);
    for (std::size_t x = 0; x < w; ++x) {
      out[3 * x] = static_cast<png_byte>(in[x] >> 16);
      out[3 * x + 1] = static_cast<png_byte>(in[x] >> 8);
      out[3 * x + 2] = static_cast<png_byte>(in[x]);
    }
  }

  std::string temp = path + ".tmp.XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    SetError(error, "cannot write " + path + ": " + std::strerror(errno));
    return false;
  }
  temp = name.data();
  std::FILE* file = fdopen(fd, "wb");
  if (!file) {
    const int code = errno;
    close(fd);
    unlink(temp.c_str());
    SetError(error, "cannot write " + path + ": " + std::strerror(code));
    return false;
  }
  ErrorState state;
  bool ok = Encode(file, surface, rows, state);
  std::string cause = ok ? "" : std::string(state.message);
  if (ok && (std::fflush(file) != 0 || fsync(fileno(file)) != 0)) {
    ok = false;
    cause = std::strerror(errno);
  }
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    cause = std::strerror(errno);
  }
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    cause = std::strerror(errno);
  }
  if (!ok) {
    unlink(temp.c_str());
    SetError(error, "cannot write " + path + ": " + cause);
    return false;
  }
  // mkstemp makes the file private; a picture is an ordinary file.
  const mode_t mask = umask(0);
  umask(mask);
  chmod(path.c_str(), 0666 & ~mask);
  return true;
}

}  // namespace pf
