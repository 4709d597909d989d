// The media player on Linux: a GStreamer playbin each for the audio CD (cdda://<track>), the
// music file and the system sound, their buses watched from the GLib main loop that runs the
// host; what disc the drive holds is asked of its device file. The sound system is the MCI
// interpreter over this player.

#include <gst/gst.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "host/music/cd_player.h"
#include "host/music/mci_interpreter.h"
#include "host/music/media_player.h"
#include "host/music/posix_cd_drive.h"
#include "host/music/sound_system.h"
#include "host/runtime/posix_services.h"

namespace {

// Long enough for a CD drive to spin up; a missing file or drive fails at once.
constexpr GstClockTime kOpenTimeout = 10 * GST_SECOND;

// A music file held open for as long as a stream plays it. The playbin reads it through
// /proc/self/fd, so it opens the very regular file that was checked: a name that has come to
// stand for a FIFO since cannot keep the open inside the playbin, on the main loop, waiting.
class HeldFile {
  public:
    HeldFile() = default;
    ~HeldFile() { Release(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    bool Hold(const std::string& path) {
        Release();
        fd_ = OpenRegularFile(path);
        return fd_ >= 0;
    }
    std::string Uri() const { return "file:///proc/self/fd/" + std::to_string(fd_); }
    void Release() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }

  private:
    int fd_ = -1;
};

// One playbin and what its bus has told.
class Stream {
  public:
    explicit Stream(const char* name) : playbin_(gst_element_factory_make("playbin", name)) {
        if (playbin_ == nullptr) return;
        gst_object_ref_sink(playbin_);
        GstBus* bus = gst_element_get_bus(playbin_);
        watch_ = gst_bus_add_watch(bus, &Stream::OnMessage, this);
        gst_object_unref(bus);
        g_signal_connect(playbin_, "about-to-finish", G_CALLBACK(&Stream::OnAboutToFinish), this);
    }
    ~Stream() {
        if (playbin_ == nullptr) return;
        g_source_remove(watch_);
        gst_element_set_state(playbin_, GST_STATE_NULL);
        gst_object_unref(playbin_);
    }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Called from the main loop when the stream has played to its end.
    std::function<void()> onEnd;

    // While set, the stream starts over by itself instead of ending: the playbin is handed the
    // same file again just before the end, so it plays on without a gap. A restart from the
    // main loop after the end of stream would depend on the sink draining its buffer, the
    // main loop getting round to the message and a flushing seek, each a pause in the sound.
    void SetLooping(bool loop) { looping_ = loop; }

    // Loads uri and waits until it can play; false when it cannot be played.
    bool Load(const std::string& uri) {
        Close();
        return Prepare(uri);
    }
    // The same for the regular file at path; anything else is not played.
    bool LoadFile(const std::string& path) {
        Close();
        return file_.Hold(path) && Prepare(file_.Uri());
    }
    // Starts uri playing without waiting for it; a failure shows on the bus later.
    void Start(const std::string& uri) {
        Close();
        if (playbin_ == nullptr) return;
        g_object_set(playbin_, "uri", uri.c_str(), nullptr);
        mode = gst_element_set_state(playbin_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE
                   ? MediaMode::Stopped
                   : MediaMode::Playing;
    }
    bool Seek(uint32_t ms) {
        return gst_element_seek_simple(
                   playbin_, GST_FORMAT_TIME,
                   static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                   static_cast<gint64>(ms) * GST_MSECOND) != FALSE;
    }
    bool Play() {
        if (mode == MediaMode::NotReady) return false;
        if (gst_element_set_state(playbin_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            return false;
        }
        mode = MediaMode::Playing;
        return true;
    }
    void Pause() {
        if (mode == MediaMode::NotReady) return;
        gst_element_set_state(playbin_, GST_STATE_PAUSED);
        mode = MediaMode::Stopped;
    }
    void Close() {
        if (playbin_ != nullptr) gst_element_set_state(playbin_, GST_STATE_NULL);
        file_.Release();
        mode = MediaMode::NotReady;
    }
    MediaMode mode = MediaMode::NotReady;

  private:
    bool Prepare(const std::string& uri) {
        if (playbin_ == nullptr) return false;
        g_object_set(playbin_, "uri", uri.c_str(), nullptr);
        if (gst_element_set_state(playbin_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE ||
            gst_element_get_state(playbin_, nullptr, nullptr, kOpenTimeout) !=
                GST_STATE_CHANGE_SUCCESS) {
            Close();
            return false;
        }
        mode = MediaMode::Stopped;
        return true;
    }

    static gboolean OnMessage(GstBus*, GstMessage* message, gpointer data) {
        // Each stream has a bus of its own: every message is about this stream.
        auto* stream = static_cast<Stream*>(data);
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
            stream->mode = MediaMode::Stopped;
            if (stream->onEnd) stream->onEnd();
        } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
            // A stream that failed while playing has stopped; it is heard no more.
            stream->mode = MediaMode::Stopped;
        }
        return TRUE;
    }

    // Called from a streaming thread when the playbin has read the whole file.
    static void OnAboutToFinish(GstElement* playbin, gpointer data) {
        auto* stream = static_cast<Stream*>(data);
        if (!stream->looping_) return;
        gchar* uri = nullptr;
        g_object_get(playbin, "current-uri", &uri, nullptr);
        if (uri != nullptr) g_object_set(playbin, "uri", uri, nullptr);
        g_free(uri);
    }

    GstElement* playbin_ = nullptr;
    HeldFile file_;
    guint watch_ = 0;
    std::atomic<bool> looping_{false};
};

std::string TrackUri(int track) {
    return "cdda://" + std::to_string(track);
}

// The disc's sound: a track is started without waiting; only a start inside a track waits for
// the drive, to seek there.
class GstCdStream : public CdStream {
  public:
    explicit GstCdStream(Stream& stream) : stream_(stream) {}
    bool Open() override { return stream_.Load(TrackUri(1)); }
    void Close() override { stream_.Close(); }
    bool Start(int track, uint32_t offsetMs) override {
        if (offsetMs == 0) {
            stream_.Start(TrackUri(track));
            return stream_.mode == MediaMode::Playing;
        }
        return stream_.Load(TrackUri(track)) && stream_.Seek(offsetMs) && stream_.Play();
    }
    bool Resume() override { return stream_.Play(); }
    void Pause() override { stream_.Pause(); }
    MediaMode Mode() const override { return stream_.mode; }

  private:
    Stream& stream_;
};

class GstMediaPlayer : public MediaPlayer {
  public:
    GstMediaPlayer() {
        cdSound_.onEnd = [this] { cd_.TrackEnded(); };
    }

    bool OpenCd() override { return cd_.Open(); }
    void CloseCd() override { cd_.Close(); }
    std::optional<int> CdTrackCount() override { return cd_.TrackCount(); }
    std::optional<int> CdCurrentTrack() override { return cd_.CurrentTrack(); }
    MediaMode CdMode() override { return cd_.Mode(); }
    bool PlayCd(std::optional<CdPosition> from) override { return cd_.Play(from); }
    void StopCd() override { cd_.Stop(); }

    bool OpenFile(const std::string& path) override { return file_.LoadFile(path); }
    void CloseFile() override { file_.Close(); }
    MediaMode FileMode() override { return file_.mode; }
    bool PlayFile(std::optional<uint32_t> fromMs) override {
        if (file_.mode == MediaMode::NotReady) return false;
        if (fromMs && !file_.Seek(*fromMs)) return false;
        return file_.Play();
    }
    void StopFile() override { file_.Pause(); }

    int32_t OutputDeviceCount() override {
        GstElementFactory* sink = gst_element_factory_find("autoaudiosink");
        if (sink == nullptr) return 0;
        gst_object_unref(sink);
        return 1;
    }
    bool PlaySound(const std::string& path, bool loop) override {
        sound_.SetLooping(loop);
        return sound_.LoadFile(path) && sound_.Play();
    }
    void StopSound() override { sound_.Close(); }

  private:
    Stream cdSound_{"cd"};
    GstCdStream cdStream_{cdSound_};
    // The device the CD source reads by default.
    PosixCdDrive drive_{"/dev/cdrom"};
    CdPlayer cd_{drive_, cdStream_};
    Stream file_{"music"};
    Stream sound_{"sound"};
};

}  // namespace

std::unique_ptr<SoundSystem> CreateSoundSystem() {
    gst_init(nullptr, nullptr);
    return std::make_unique<MciInterpreter>(std::make_unique<GstMediaPlayer>());
}
