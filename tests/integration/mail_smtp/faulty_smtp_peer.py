"""A small SMTP server on 127.0.0.1 that misbehaves on purpose, for one connection.

--mode picks the fault: a multi-line EHLO reply in one packet ("normal") or in two
("ehlo-two-packets"), bare "250" replies ("bare-250"), EHLO refused ("no-ehlo"), 550 on RCPT
("rcpt-550"), no answer to MAIL ("stall"), the connection dropped on RCPT ("drop"), and 535
on the password ("auth-535"). Writes its port to --port-file and, when the client has gone or
--seconds have passed, what it received to --out as JSON.
"""
import argparse
import json
import os
import socket
import sys
import time

EHLO_LINES = [b"250-faulty.test greets you\r\n", b"250-SIZE 1000000\r\n", b"250 HELP\r\n"]
MAX_COMMANDS = 200
MAX_BYTES = 64 * 1024 * 1024


class Dialogue:
    def __init__(self, mode, connection):
        self.mode = mode
        self.connection = connection
        self.auth_lines = 0
        self.ok = b"250\r\n" if mode == "bare-250" else b"250 ok\r\n"

    def send(self, *packets):
        for index, packet in enumerate(packets):
            if index:
                time.sleep(0.3)  # long enough for the client to read the first part alone
            self.connection.sendall(packet)

    def answer(self, line: bytes) -> bool:
        """Answers one command line; False when the connection is to end."""
        verb = line.split(b" ", 1)[0].upper()
        mode = self.mode
        if self.auth_lines:
            self.auth_lines -= 1
            if self.auth_lines:
                self.send(b"334 UGFzc3dvcmQ6\r\n")
            elif mode == "auth-535":
                self.send(b"535 5.7.8 Authentication credentials invalid\r\n")
            else:
                self.send(b"235 2.7.0 Authentication successful\r\n")
        elif verb == b"EHLO":
            if mode == "no-ehlo":
                self.send(b"502 5.5.2 Command not recognized\r\n")
            elif mode == "ehlo-two-packets":
                self.send(EHLO_LINES[0], b"".join(EHLO_LINES[1:]))
            elif mode == "bare-250":
                self.send(EHLO_LINES[0] + b"250\r\n")
            else:
                self.send(b"".join(EHLO_LINES))
        elif verb == b"AUTH":
            self.auth_lines = 2
            self.send(b"334 VXNlcm5hbWU6\r\n")
        elif verb == b"MAIL" and mode == "stall":
            pass  # say nothing: the client has to give up by itself
        elif verb == b"RCPT" and mode == "drop":
            return False
        elif verb == b"RCPT" and mode == "rcpt-550":
            self.send(b"550 5.1.1 No such user\r\n")
        elif verb == b"DATA":
            self.send(b"354 End data with <CR><LF>.<CR><LF>\r\n")
        elif verb == b"QUIT":
            self.send(b"221 Bye\r\n")
            return False
        else:
            self.send(self.ok)
        return True


def serve(arguments):
    deadline = time.monotonic() + arguments.seconds
    record = {"commands": [], "data": "", "client_closed": False}
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    with open(arguments.port_file + ".tmp", "w") as handle:
        handle.write(str(listener.getsockname()[1]))
    os.rename(arguments.port_file + ".tmp", arguments.port_file)

    try:
        listener.settimeout(max(0.1, deadline - time.monotonic()))
        connection, _ = listener.accept()
    except socket.timeout:
        return record
    dialogue = Dialogue(arguments.mode, connection)
    buffer = b""
    in_data = False
    received = 0
    try:
        dialogue.send(b"220 faulty.test ESMTP\r\n")
        while len(record["commands"]) < MAX_COMMANDS and received < MAX_BYTES:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                break
            connection.settimeout(remaining)
            chunk = connection.recv(65536)
            if not chunk:
                record["client_closed"] = True
                break
            received += len(chunk)
            buffer += chunk
            going_on = True
            while going_on:
                if in_data:
                    end = buffer.find(b"\r\n.\r\n")
                    if end < 0:
                        break
                    record["data"] += buffer[:end + 5].decode("latin-1")
                    buffer = buffer[end + 5:]
                    in_data = False
                    dialogue.send(dialogue.ok)
                    continue
                end = buffer.find(b"\r\n")
                if end < 0:
                    break
                line, buffer = buffer[:end], buffer[end + 2:]
                record["commands"].append(line.decode("latin-1"))
                going_on = dialogue.answer(line)
                in_data = line.upper() == b"DATA"
            if not going_on:
                break
    except (socket.timeout, ConnectionError):
        pass
    finally:
        if in_data:
            record["data"] += buffer.decode("latin-1")
        connection.close()
        listener.close()
    return record


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--mode", default="normal")
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--seconds", type=float, default=20)
    arguments = parser.parse_args()
    record = serve(arguments)
    with open(arguments.out, "w") as handle:
        json.dump(record, handle)
    return 0


if __name__ == "__main__":
    sys.exit(main())
