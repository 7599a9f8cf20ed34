#!/usr/bin/env python3
"""A local stand-in for the geocoding web service, for the tests and the README's sample.

Serves canned answers over HTTPS on 127.0.0.1 with a self-signed certificate made by openssl:
  /maps/api/geocode/json?address=A&key=K          -> ANSWERS/geocode/A.json
  /maps/api/timezone/json?location=L&timestamp=T&... -> ANSWERS/timezone/L.json
(404 when there is none). An answer file may begin with one directive line:
  #hang      never answers (the client's time-out)
  #cut       announces the rest's length, sends its first half and closes (a body cut short)
  #pad N     sends N blanks before the rest (a long body)
In DIR it writes cert.pem (the CA file to give the client), key.pem, requests.log (one line
per request), port and pid (once listening). It ends with its parent process.

Usage: geocode-server.py --answers ANSWERS --dir DIR [--port N] [--parent PID]
"""
import argparse, http.server, os, ssl, subprocess, threading, time, urllib.parse

ap = argparse.ArgumentParser()
ap.add_argument("--answers", required=True)
ap.add_argument("--dir", required=True)
ap.add_argument("--port", type=int, default=0)
ap.add_argument("--parent", type=int, default=os.getppid())
args = ap.parse_args()
os.makedirs(args.dir, exist_ok=True)
cert, key = os.path.join(args.dir, "cert.pem"), os.path.join(args.dir, "key.pem")
subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                "-keyout", key, "-out", cert], check=True, capture_output=True)
log = open(os.path.join(args.dir, "requests.log"), "a", buffering=1)


class Answers(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *a):
        pass

    def do_GET(self):
        log.write(self.path + "\n")
        url = urllib.parse.urlsplit(self.path)
        query = dict(urllib.parse.parse_qsl(url.query, keep_blank_values=True))
        name = {"/maps/api/geocode/json": ("geocode", query.get("address")),
                "/maps/api/timezone/json": ("timezone", query.get("location"))}.get(url.path, (None, None))
        path = name[1] is not None and os.path.join(args.answers, name[0], name[1] + ".json")
        body = open(path, "rb").read() if path and os.path.isfile(path) else None
        if body is None:
            return self.send_all(404, b'{\n   "status" : "NO_CANNED_ANSWER"\n}\n')
        directive, length = b"", None
        if body.startswith(b"#"):
            directive, _, body = body.partition(b"\n")
        if directive == b"#hang":
            time.sleep(3600)
        elif directive == b"#cut":
            body, length = body[:len(body) // 2], len(body)
        elif directive.startswith(b"#pad "):
            body = b" " * int(directive[5:]) + body
        self.send_all(200, body, length)

    def send_all(self, status, body, length=None):
        self.send_response(status)
        self.send_header("Content-Type", "application/json; charset=UTF-8")
        self.send_header("Content-Length", str(length or len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()
        self.close_connection = True


server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), Answers)
server.daemon_threads = True
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
server.socket = context.wrap_socket(server.socket, server_side=True)


def watch_parent():
    while True:
        time.sleep(0.5)
        try:
            os.kill(args.parent, 0)
        except OSError:
            os._exit(0)


threading.Thread(target=watch_parent, daemon=True).start()
with open(os.path.join(args.dir, "port.tmp"), "w") as f:
    f.write(str(server.server_address[1]))
os.replace(os.path.join(args.dir, "port.tmp"), os.path.join(args.dir, "port"))
with open(os.path.join(args.dir, "pid.tmp"), "w") as f:
    f.write(str(os.getpid()))
os.replace(os.path.join(args.dir, "pid.tmp"), os.path.join(args.dir, "pid"))
server.serve_forever()
