"""An aiosmtpd server on 127.0.0.1 for the mail tests.

Writes its port to --port-file, takes --messages messages (or gives up after --seconds), and
writes what it received to --out as JSON: the envelope, how the client greeted, whether TLS and
AUTH were used, the headers, and the alternatives as Python's email package parses them.
"""
import argparse
import asyncio
import email
import email.policy
import json
import os
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult


def parse_message(data: bytes) -> dict:
    message = email.message_from_bytes(data, policy=email.policy.compat32)
    parts = []
    if message.is_multipart():
        for part in message.get_payload():
            parts.append({
                "type": part.get_content_type(),
                "charset": part.get_content_charset(),
                "body": part.get_payload(decode=True).decode("latin-1"),
            })
    headers = {name: value for name, value in message.items()}
    return {"headers": headers, "multipart": message.is_multipart(), "parts": parts}


class Recorder:
    def __init__(self, wanted: int, done: asyncio.Event):
        self.messages = []
        self.wanted = wanted
        self.done = done

    async def handle_DATA(self, server, session, envelope):
        record = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "extended_smtp": session.extended_smtp,
            "greeting_name": session.host_name,
            "tls": session.ssl is not None,
            "login": None,
            "password": None,
            "raw": envelope.content.decode("latin-1"),
        }
        if session.authenticated and session.auth_data is not None:
            record["login"] = session.auth_data.login.decode("latin-1")
            record["password"] = session.auth_data.password.decode("latin-1")
        record.update(parse_message(envelope.content))
        self.messages.append(record)
        if len(self.messages) >= self.wanted:
            self.done.set()
        return "250 Message accepted for delivery"


def authenticate(server, session, envelope, mechanism, auth_data):
    return AuthResult(success=auth_data.password == b"secret", auth_data=auth_data)


async def serve(arguments) -> int:
    done = asyncio.Event()
    recorder = Recorder(arguments.messages, done)
    tls = None
    if arguments.cert:
        tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        tls.load_cert_chain(arguments.cert, arguments.key)
    implicit = arguments.mode == "implicit-tls"

    def factory():
        return SMTP(
            recorder,
            hostname="kavelune-test",
            tls_context=None if implicit else tls,
            require_starttls=arguments.mode == "starttls",
            authenticator=authenticate,
            auth_require_tls=False,
        )

    loop = asyncio.get_running_loop()
    server = await loop.create_server(factory, "127.0.0.1", 0, ssl=tls if implicit else None)
    port = server.sockets[0].getsockname()[1]
    with open(arguments.port_file + ".tmp", "w") as handle:
        handle.write(str(port))
    os.rename(arguments.port_file + ".tmp", arguments.port_file)

    try:
        await asyncio.wait_for(done.wait(), timeout=arguments.seconds)
    except asyncio.TimeoutError:
        pass
    server.close()
    with open(arguments.out, "w") as handle:
        json.dump({"messages": recorder.messages}, handle)
    return 0


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--mode", choices=["plain", "starttls", "implicit-tls"], default="plain")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--messages", type=int, default=1)
    parser.add_argument("--seconds", type=float, default=20)
    return asyncio.run(serve(parser.parse_args()))


if __name__ == "__main__":
    sys.exit(main())
