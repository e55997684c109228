#!/usr/bin/python3
"""Media benchmarks against ffmpeg, in the same run, from a 1280 x 720 MJPEG source on this machine.

  bench/media/run.py [--seconds N] [--stills N] [--build DIR]

preview: CPU of our live picture (a real capture control, offscreen, 30 previews a second) of an
         MJPEG stream over HTTP vs `ffmpeg -i URL -f null -` on the same stream for the same time.
         Goal: ratio <= 1.3.
still:   CPU of N runs of `kestrova-cli still --source S --out ours.jpg` (open, first frame, decode,
         JPEG write) vs N runs of `ffmpeg -i SRC -frames:v 1 out.jpg`, for the MJPEG stream and a
         1280 x 720 AVI file.
         Goal: ratio <= 1.2.
"""
import argparse
import http.server
import os
import signal
import socketserver
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def cpu_of(command, stop_after=None):
    """Runs command; returns its user+system CPU seconds (children included) and its output."""
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if stop_after is not None:
        time.sleep(stop_after)
        process.send_signal(signal.SIGINT)
    _, status, usage = os.wait4(process.pid, 0)
    out = process.stdout.read().decode()
    err = process.stderr.read().decode()
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode not in (0, 255, -2) and stop_after is None:
        sys.exit(f"{command[0]} failed ({process.returncode}): {err.strip()}")
    return usage.ru_utime + usage.ru_stime, out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--seconds", type=int, default=20)
    parser.add_argument("--stills", type=int, default=10)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    options = parser.parse_args()

    subprocess.run(["cmake", "--build", options.build, "--target", "bench_preview", "kestrova-cli"], check=True,
                   stdout=subprocess.DEVNULL)
    preview = os.path.join(options.build, "bin", "bench_preview")
    cli = os.path.join(options.build, "bin", "kestrova-cli")

    work = tempfile.mkdtemp(prefix="kestrova-bench-")
    subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-f", "lavfi", "-i", "testsrc2=size=1280x720:rate=30",
                    "-frames:v", "30", "-q:v", "3", os.path.join(work, "frame%02d.jpg")], check=True)
    subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-f", "lavfi", "-i", "testsrc2=size=1280x720:rate=30",
                    "-t", "2", "-c:v", "mjpeg", "-q:v", "3", os.path.join(work, "clip.avi")], check=True)
    frames = [open(os.path.join(work, f"frame{i:02d}.jpg"), "rb").read() for i in range(1, 31)]

    class Handler(http.server.BaseHTTPRequestHandler):
        def log_message(self, *args):
            pass

        def do_GET(self):
            try:
                if self.path == "/still.jpg":
                    self.send_response(200)
                    self.send_header("Content-Type", "image/jpeg")
                    self.send_header("Content-Length", str(len(frames[0])))
                    self.end_headers()
                    self.wfile.write(frames[0])
                    return
                self.send_response(200)
                self.send_header("Content-Type", "multipart/x-mixed-replace; boundary=kestrovaframe")
                self.end_headers()
                start = time.monotonic()
                n = 0
                while True:
                    jpeg = frames[n % len(frames)]
                    self.wfile.write(b"--kestrovaframe\r\nContent-Type: image/jpeg\r\nContent-Length: %d\r\n\r\n" % len(jpeg)
                                     + jpeg + b"\r\n")
                    n += 1
                    delay = start + n / 30 - time.monotonic()
                    if delay > 0:
                        time.sleep(delay)
            except (BrokenPipeError, ConnectionResetError):
                pass

    class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
        daemon_threads = True

    server = Server(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_address[1]}"

    print(f"preview of a 1280x720 MJPEG stream at 30 fps for {options.seconds} s")
    reference, _ = cpu_of(["ffmpeg", "-nostdin", "-loglevel", "error", "-i", url + "/stream.mjpg", "-f", "null", "-"],
                          stop_after=options.seconds)
    ours, out = cpu_of([preview, "http:" + url + "/stream.mjpg", str(options.seconds), "640x360"])
    print(f"  ffmpeg -f null: {reference:.2f} s CPU; ours: {ours:.2f} s CPU ({out.strip()})")
    print(f"  preview ratio: {ours / reference:.2f} (goal <= 1.3)")

    for name, source, ffmpeg_source in (("MJPEG stream", "http:" + url + "/stream.mjpg", url + "/stream.mjpg"),
                                        ("AVI file", "wms:" + os.path.join(work, "clip.avi"), os.path.join(work, "clip.avi"))):
        reference = ours = 0.0
        for _ in range(options.stills):
            cpu, _ = cpu_of(["ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", ffmpeg_source, "-frames:v", "1",
                             os.path.join(work, "out.jpg")])
            reference += cpu
            cpu, _ = cpu_of([cli, "still", "--source", source, "--out", os.path.join(work, "ours.jpg"), "--quality", "90"])
            ours += cpu
        print(f"still of a 1280x720 {name} written as JPEG, {options.stills} runs: ffmpeg {reference:.2f} s CPU;"
              f" kestrova-cli still {ours:.2f} s CPU")
        print(f"  still ratio: {ours / reference:.2f} (goal <= 1.2)")
    server.shutdown()


if __name__ == "__main__":
    main()
