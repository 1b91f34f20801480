#include "picture/jpeg_loader.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "gfx/debug_log.h"

namespace {

const char kCantOpen[] = "JPEG :\nCan't open %s\n";
const char kOutOfMemory[] = "JpegFile :\nOut of memory\n";
const char kFatalError[] = "JPEG Fatal Error\n";

// The error manager with its recovery point right behind it, so the error
// exit finds the jump buffer from the manager pointer libjpeg hands it.
struct JpegErrorTrap {
  jpeg_error_mgr manager;
  std::jmp_buf recovery;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
  char message[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, message);
  DebugLog(kFatalError);
  std::longjmp(reinterpret_cast<JpegErrorTrap*>(info->err)->recovery, 1);
}

// Warnings mean corrupt or missing data (libjpeg would fill it in); such a
// picture is refused like a fatal error. Trace messages are dropped.
void EmitMessage(j_common_ptr info, int level) {
  if (level < 0) (*info->err->error_exit)(info);
}

void OutputMessage(j_common_ptr) {}

// Everything the decoder changes after its recovery point lives here, outside
// the frame that calls setjmp, so it is still valid after the jump.
struct DecodeJob {
  jpeg_decompress_struct info;
  JpegErrorTrap trap;
  std::FILE* file;
  const unsigned char* data;
  unsigned long size;
  std::uint8_t* pixels;
  std::int32_t width;
  std::int32_t height;
};

std::uint8_t* Fail(DecodeJob* job, const char* message) {
  DebugLog(message);
  jpeg_destroy_decompress(&job->info);
  std::free(job->pixels);
  job->pixels = nullptr;
  job->width = 0;
  job->height = 0;
  return nullptr;
}

// Greyscale stays one sample per pixel; YCbCr and RGB come out as RGB. Other
// colour spaces (CMYK, YCCK, unknown) are refused.
bool ChooseOutputSpace(jpeg_decompress_struct* info) {
  switch (info->jpeg_color_space) {
    case JCS_GRAYSCALE:
      info->out_color_space = JCS_GRAYSCALE;
      return true;
    case JCS_YCbCr:
    case JCS_RGB:
      info->out_color_space = JCS_RGB;
      return true;
    default:
      return false;
  }
}

bool WithinLimits(std::uint32_t width, std::uint32_t height) {
  if (width == 0 || height == 0) return false;
  if (width > kJpegMaxDimension || height > kJpegMaxDimension) return false;
  return static_cast<std::uint64_t>(width) * height <= kJpegMaxPixels;
}

void StoreRow(const JSAMPLE* row, std::uint32_t width, int components, std::uint8_t* out) {
  if (components == 3) {
    std::memcpy(out, row, static_cast<std::size_t>(width) * 3);
    return;
  }
  for (std::uint32_t x = 0; x < width; ++x) {
    out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = row[x];
  }
}

std::uint8_t* RunDecode(DecodeJob* job) {
  jpeg_decompress_struct* info = &job->info;
  std::memset(info, 0, sizeof *info);
  info->err = jpeg_std_error(&job->trap.manager);
  job->trap.manager.error_exit = ErrorExit;
  job->trap.manager.emit_message = EmitMessage;
  job->trap.manager.output_message = OutputMessage;
  if (setjmp(job->trap.recovery)) {
    // The error exit has logged already.
    jpeg_destroy_decompress(info);
    std::free(job->pixels);
    job->pixels = nullptr;
    job->width = 0;
    job->height = 0;
    return nullptr;
  }
  jpeg_create_decompress(info);
  if (job->file) {
    jpeg_stdio_src(info, job->file);
  } else {
    jpeg_mem_src(info, job->data, job->size);
  }
  if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return Fail(job, kFatalError);
  if (!ChooseOutputSpace(info)) return Fail(job, kFatalError);
  if (!WithinLimits(info->image_width, info->image_height)) return Fail(job, kOutOfMemory);
  jpeg_start_decompress(info);
  const int components = info->output_components;
  const std::uint32_t width = info->output_width;
  const std::uint32_t height = info->output_height;
  if ((components != 1 && components != 3) || !WithinLimits(width, height)) {
    return Fail(job, kFatalError);
  }
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  job->pixels = static_cast<std::uint8_t*>(std::malloc(rowBytes * height));
  if (!job->pixels) return Fail(job, kOutOfMemory);
  job->width = static_cast<std::int32_t>(width);
  job->height = static_cast<std::int32_t>(height);
  JSAMPARRAY row = (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                              width * components, 1);
  while (info->output_scanline < height) {
    // The sources never suspend, so each call yields one row or raises.
    if (jpeg_read_scanlines(info, row, 1) != 1) return Fail(job, kFatalError);
    StoreRow(row[0], width, components, job->pixels + rowBytes * (info->output_scanline - 1));
  }
  jpeg_finish_decompress(info);
  jpeg_destroy_decompress(info);
  return job->pixels;
}

std::uint8_t* Decode(std::FILE* file, const void* data, std::uint32_t size, std::int32_t* width,
                     std::int32_t* height) {
  DecodeJob job{};
  job.file = file;
  job.data = static_cast<const unsigned char*>(data);
  job.size = size;
  std::uint8_t* pixels = RunDecode(&job);
  if (pixels) {
    *width = job.width;
    *height = job.height;
  }
  return pixels;
}

// Builds the bottom-up BGR bitmap from top-down RGB rows.
HGLOBAL PackBitmap(const std::uint8_t* rgb, std::int32_t width, std::int32_t height) {
  const std::uint32_t stride = PackedDibStride24(static_cast<std::uint32_t>(width));
  const std::uint64_t total = sizeof(BITMAPINFOHEADER) + static_cast<std::uint64_t>(stride) * height;
  if (total > UINT32_MAX) return nullptr;
  auto* block = static_cast<std::uint8_t*>(GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(total)));
  if (!block) {
    DebugLog(kOutOfMemory);
    return nullptr;
  }
  BITMAPINFOHEADER header;
  std::memset(&header, 0, sizeof header);
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  std::memcpy(block, &header, sizeof header);
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* in = rgb + rowBytes * y;
    std::uint8_t* out = block + sizeof header + static_cast<std::size_t>(stride) * (height - 1 - y);
    for (std::int32_t x = 0; x < width; ++x) {
      out[3 * x] = in[3 * x + 2];
      out[3 * x + 1] = in[3 * x + 1];
      out[3 * x + 2] = in[3 * x];
    }
    std::memset(out + rowBytes, 0, stride - rowBytes);
  }
  return block;
}

HGLOBAL Pack(std::uint8_t* rgb, std::int32_t width, std::int32_t height) {
  if (!rgb) return nullptr;
  HGLOBAL block = PackBitmap(rgb, width, height);
  std::free(rgb);
  return block;
}

}  // namespace

static_assert(sizeof(BITMAPINFOHEADER) == 40, "the bitmap header is 40 bytes");

std::uint8_t* DecodeJpeg(const char* path, std::int32_t* width, std::int32_t* height) {
  *width = 0;
  *height = 0;
  std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
  if (!file) {
    DebugLog(kCantOpen, path ? path : "");
    return nullptr;
  }
  std::uint8_t* pixels = Decode(file, nullptr, 0, width, height);
  std::fclose(file);
  return pixels;
}

std::uint8_t* DecodeJpegFromMemory(const void* data, std::uint32_t size, std::int32_t* width,
                                   std::int32_t* height) {
  *width = 0;
  *height = 0;
  return Decode(nullptr, data, size, width, height);
}

HGLOBAL LoadJpeg(const char* path) {
  std::int32_t width = 0, height = 0;
  std::uint8_t* rgb = DecodeJpeg(path, &width, &height);
  return Pack(rgb, width, height);
}

HGLOBAL LoadJpegFromMemory(const void* data, std::uint32_t size) {
  std::int32_t width = 0, height = 0;
  std::uint8_t* rgb = DecodeJpegFromMemory(data, size, &width, &height);
  return Pack(rgb, width, height);
}
