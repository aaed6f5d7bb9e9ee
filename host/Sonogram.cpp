#include "host/Sonogram.h"

#include "host/HostError.h"

#include <algorithm>
#include <array>
#include <cairo.h>
#include <cmath>
#include <fftw3.h>
#include <fontconfig/fontconfig.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPlotWidth = 560;
constexpr int kPlotHeight = 360;
constexpr int kLeft = 52; // room for the frequency labels of each panel
constexpr int kTop = 30;  // room for the titles
constexpr int kRight = 16;
constexpr int kChannelGap = 2;
static_assert(2 * (kLeft + kPlotWidth) + kRight == kSonogramWidth);
static_assert(kTop + kPlotHeight + 34 == kSonogramHeight);

constexpr double kLowest = 30;     // Hz at the bottom of the picture
constexpr double kHighest = 20000; // Hz at the top, or the Nyquist frequency when lower
constexpr double kRangeDb = 90;    // the darkest colour, below the loudest point
// Colour steps: more are not told apart, and flat runs keep the PNG small.
constexpr double kLevels = 40;

struct Rgb {
    double r, g, b;
};

// Black through purple, red and orange to pale yellow: level reads as brightness.
Rgb heat(double x) {
    constexpr std::array<Rgb, 5> anchors = {Rgb{0.00, 0.00, 0.02}, Rgb{0.34, 0.06, 0.43},
                                            Rgb{0.74, 0.22, 0.33}, Rgb{0.98, 0.56, 0.04},
                                            Rgb{0.99, 1.00, 0.64}};
    x = std::clamp(x, 0.0, 1.0) * (anchors.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(x), anchors.size() - 2);
    const double t = x - static_cast<double>(i);
    const Rgb& a = anchors[i];
    const Rgb& b = anchors[i + 1];
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Power spectra of one channel, one averaged spectrum per picture column.
class ColumnSpectra final {
public:
    explicit ColumnSpectra(int fftSize)
        : size_(fftSize), bins_(fftSize / 2 + 1),
          in_(fftwf_alloc_real(static_cast<std::size_t>(fftSize))),
          out_(fftwf_alloc_complex(static_cast<std::size_t>(bins_))),
          plan_(fftwf_plan_dft_r2c_1d(fftSize, in_, out_, FFTW_ESTIMATE)),
          window_(static_cast<std::size_t>(fftSize)) {
        double sum = 0;
        for (int i = 0; i < size_; ++i) {
            window_[static_cast<std::size_t>(i)] =
                static_cast<float>(0.5 - 0.5 * std::cos(2 * M_PI * (i + 0.5) / size_));
            sum += window_[static_cast<std::size_t>(i)];
        }
        scale_ = static_cast<float>(1 / (sum * sum));
    }
    ~ColumnSpectra() {
        fftwf_destroy_plan(plan_);
        fftwf_free(out_);
        fftwf_free(in_);
    }
    ColumnSpectra(const ColumnSpectra&) = delete;
    ColumnSpectra& operator=(const ColumnSpectra&) = delete;

    int bins() const { return bins_; }

    // Spectra for `columns` equal spans of `length` frames; samples past the channel's end
    // are silence.
    std::vector<std::vector<float>> analyse(const std::vector<float>& samples, std::size_t length,
                                            int columns) {
        std::vector<std::vector<float>> spectra(
            static_cast<std::size_t>(columns), std::vector<float>(static_cast<std::size_t>(bins_)));
        const double span = static_cast<double>(length) / columns;
        const int perColumn = std::clamp(static_cast<int>(std::ceil(span / (size_ / 4.0))), 1, 16);
        for (int c = 0; c < columns; ++c) {
            auto& power = spectra[static_cast<std::size_t>(c)];
            for (int k = 0; k < perColumn; ++k) {
                const double centre = span * (c + (k + 0.5) / perColumn);
                const long first = std::lround(centre) - size_ / 2;
                for (int i = 0; i < size_; ++i) {
                    const long at = first + i;
                    const bool inside = at >= 0 && static_cast<std::size_t>(at) < samples.size();
                    in_[i] = inside ? samples[static_cast<std::size_t>(at)] *
                                          window_[static_cast<std::size_t>(i)]
                                    : 0.0f;
                }
                fftwf_execute(plan_);
                for (int b = 0; b < bins_; ++b)
                    power[static_cast<std::size_t>(b)] +=
                        (out_[b][0] * out_[b][0] + out_[b][1] * out_[b][1]) * scale_ / perColumn;
            }
        }
        return spectra;
    }

private:
    int size_;
    int bins_;
    float* in_;
    fftwf_complex* out_;
    fftwf_plan plan_;
    std::vector<float> window_;
    float scale_ = 1;
};

// Window length: about 80 ms, a power of two, fine enough to separate the low notches.
int fftSizeFor(double sampleRate) {
    int n = 256;
    while (n < sampleRate / 12) n *= 2;
    return n;
}

struct Panel {
    const char* title;
    const AudioBuffer* audio;
    std::vector<std::vector<std::vector<float>>> spectra; // [channel][column][bin]
};

double topFrequency(double sampleRate) {
    return std::min(kHighest, sampleRate / 2);
}

void paintChannel(unsigned char* pixels, int stride, int top, int height,
                  const std::vector<std::vector<float>>& spectra, double sampleRate, int fftSize,
                  double loudestDb) {
    const double binHz = sampleRate / fftSize;
    const double highest = topFrequency(sampleRate);
    const auto bins = static_cast<double>(spectra.front().size());
    for (int row = 0; row < height; ++row) {
        // Rows cover equal ratios of frequency; a row wider than a bin averages its bins.
        const double fromTop = static_cast<double>(row) / height;
        const double hi = highest * std::pow(kLowest / highest, fromTop) / binHz;
        const double lo = highest * std::pow(kLowest / highest, fromTop + 1.0 / height) / binHz;
        const double mid = std::sqrt(lo * hi);
        auto* line = reinterpret_cast<std::uint32_t*>(pixels + (top + row) * stride);
        for (std::size_t c = 0; c < spectra.size(); ++c) {
            const auto& p = spectra[c];
            double power = 0;
            const auto first = static_cast<std::size_t>(std::ceil(lo));
            const auto last = static_cast<std::size_t>(std::min(std::floor(hi), bins - 1));
            if (last > first) {
                for (std::size_t b = first; b <= last; ++b) power += p[b];
                power /= static_cast<double>(last - first + 1);
            } else {
                const auto b = std::min(static_cast<std::size_t>(mid), p.size() - 2);
                const double t = std::clamp(mid - static_cast<double>(b), 0.0, 1.0);
                power = p[b] * (1 - t) + p[b + 1] * t;
            }
            const double db = 10 * std::log10(power + 1e-30) - loudestDb;
            const Rgb colour = heat(std::round((1 + db / kRangeDb) * kLevels) / kLevels);
            line[c] = 0xff000000u | static_cast<std::uint32_t>(colour.r * 255) << 16 |
                      static_cast<std::uint32_t>(colour.g * 255) << 8 |
                      static_cast<std::uint32_t>(colour.b * 255);
        }
    }
}

void label(cairo_t* cr, double x, double y, const std::string& text, double alignX) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_move_to(cr, x - extents.x_advance * alignX, y);
    cairo_show_text(cr, text.c_str());
}

void drawAxes(cairo_t* cr, int left, double seconds, int channels, double sampleRate) {
    cairo_set_source_rgb(cr, 0.8, 0.8, 0.8);
    cairo_set_font_size(cr, 11);
    const double bandHeight = (kPlotHeight - (channels - 1) * kChannelGap) / double(channels);
    const double highest = topFrequency(sampleRate);
    constexpr std::array<std::pair<double, const char*>, 3> ticks = {
        std::pair{100.0, "100"}, std::pair{1000.0, "1k"}, std::pair{10000.0, "10k"}};
    for (int ch = 0; ch < channels; ++ch) {
        const double bandTop = kTop + ch * (bandHeight + kChannelGap);
        for (const auto& [hz, text] : ticks) {
            if (hz > highest) continue;
            const double y =
                bandTop + bandHeight * std::log(highest / hz) / std::log(highest / kLowest);
            cairo_rectangle(cr, left - 4, y - 0.5, 4, 1);
            cairo_fill(cr);
            label(cr, left - 6, y + 4, text, 1);
        }
        if (channels == 2) label(cr, left + kPlotWidth - 4, bandTop + 14, ch ? "R" : "L", 1);
    }
    // A time tick every 1, 2 or 5 times a power of ten seconds, at most ten of them.
    double step = 0.1;
    for (int i = 0; seconds / step > 10; ++i) step *= (i % 3 == 1) ? 2.5 : 2;
    for (double t = 0; t <= seconds + 1e-9 && seconds > 0; t += step) {
        const double x = left + kPlotWidth * t / seconds;
        cairo_rectangle(cr, x - 0.5, kTop + kPlotHeight, 1, 4);
        cairo_fill(cr);
        char text[32];
        std::snprintf(text, sizeof text, step < 1 ? "%.1f" : "%.0f", t);
        label(cr, x, kTop + kPlotHeight + 16, text, t == 0 ? 0 : 0.5);
    }
    label(cr, left + kPlotWidth, kTop + kPlotHeight + 30, "seconds", 1);
}

} // namespace

namespace {

void draw(const std::filesystem::path& path, const AudioBuffer& input, const AudioBuffer& output) {
    const double rate = input.sampleRate;
    const int fftSize = fftSizeFor(rate);
    const std::size_t length = std::max(input.frames(), output.frames());
    ColumnSpectra analysis(fftSize);
    std::array<Panel, 2> panels = {Panel{"Input", &input, {}}, Panel{"Output", &output, {}}};
    double loudest = 1e-30;
    for (Panel& panel : panels)
        for (const auto& channel : panel.audio->channels) {
            panel.spectra.push_back(analysis.analyse(channel, length, kPlotWidth));
            for (const auto& column : panel.spectra.back())
                loudest =
                    std::max(loudest, double(*std::max_element(column.begin(), column.end())));
        }
    const double loudestDb = 10 * std::log10(loudest);

    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSonogramWidth, kSonogramHeight),
        cairo_surface_destroy);
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> context(cairo_create(surface.get()),
                                                               cairo_destroy);
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
    cairo_paint(cr);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);

    const double seconds = static_cast<double>(length) / rate;
    for (std::size_t p = 0; p < panels.size(); ++p) {
        const Panel& panel = panels[p];
        const int left = kLeft + static_cast<int>(p) * (kLeft + kPlotWidth);
        const int channels = static_cast<int>(panel.spectra.size());
        std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> plot(
            cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPlotWidth, kPlotHeight),
            cairo_surface_destroy);
        cairo_surface_flush(plot.get());
        unsigned char* pixels = cairo_image_surface_get_data(plot.get());
        const int stride = cairo_image_surface_get_stride(plot.get());
        std::fill(pixels, pixels + stride * kPlotHeight, 0);
        const int band = channels ? (kPlotHeight - (channels - 1) * kChannelGap) / channels : 0;
        for (int ch = 0; ch < channels; ++ch)
            paintChannel(pixels, stride, ch * (band + kChannelGap), band,
                         panel.spectra[static_cast<std::size_t>(ch)], rate, fftSize, loudestDb);
        cairo_surface_mark_dirty(plot.get());
        cairo_set_source_surface(cr, plot.get(), left, kTop);
        cairo_paint(cr);

        cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
        cairo_set_font_size(cr, 14);
        label(cr, left, kTop - 10, panel.title, 0);
        drawAxes(cr, left, seconds, std::max(channels, 1), rate);
    }
    cairo_surface_flush(surface.get());
    const cairo_status_t status = cairo_surface_write_to_png(surface.get(), path.c_str());
    if (status != CAIRO_STATUS_SUCCESS)
        throw HostError("cannot write '" + path.string() + "': " + cairo_status_to_string(status));
}

} // namespace

void writeSonogram(const std::filesystem::path& path, const AudioBuffer& input,
                   const AudioBuffer& output) {
    draw(path, input, output);
    // The labels' font caches would live to the end of the process, which leak checkers
    // report; the tool draws one picture per run.
    cairo_debug_reset_static_data();
    FcFini();
}
