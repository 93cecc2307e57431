"""An aiosmtpd server on 127.0.0.1 that takes one mail and ends.

Writes its port to --port-file once it listens. When the whole message has come it touches
--received-file and, with --delay, waits that many seconds before answering, so the sender is
still sending meanwhile. Then it writes to OUT: the raw message (message.eml), the HTML
alternative as Python's email package decodes it (page.html) and the envelope, headers and plain
alternative (summary.json). It ends after one mail, or after --seconds without one.
"""
import argparse
import asyncio
import email
import email.policy
import json
import os

from aiosmtpd.smtp import SMTP


class Keeper:
    def __init__(self, arguments, done):
        self.arguments = arguments
        self.done = done
        self.envelope = None

    async def handle_DATA(self, server, session, envelope):
        if self.arguments.received_file:
            with open(self.arguments.received_file, "w") as f:
                f.write("received")
        if self.arguments.delay > 0:
            await asyncio.sleep(self.arguments.delay)
        self.envelope = envelope
        self.done.set()
        return "250 Message accepted for delivery"


def write_results(out, envelope):
    raw = envelope.content
    with open(os.path.join(out, "message.eml"), "wb") as f:
        f.write(raw)
    message = email.message_from_bytes(raw, policy=email.policy.compat32)
    summary = {
        "mail_from": envelope.mail_from,
        "rcpt_tos": envelope.rcpt_tos,
        "to": message["To"],
        "subject": message["Subject"],
        "content_type": message.get_content_type(),
        "parts": [],
    }
    for part in message.walk():
        if part.is_multipart():
            continue
        body = part.get_payload(decode=True)
        summary["parts"].append({"type": part.get_content_type(), "charset": part.get_content_charset()})
        if part.get_content_type() == "text/html":
            with open(os.path.join(out, "page.html"), "wb") as f:
                f.write(body)
        else:
            summary["plain"] = body.decode(part.get_content_charset() or "latin-1")
    with open(os.path.join(out, "summary.json"), "w") as f:
        json.dump(summary, f)


async def serve(arguments):
    done = asyncio.Event()
    keeper = Keeper(arguments, done)
    loop = asyncio.get_running_loop()
    server = await loop.create_server(lambda: SMTP(keeper, hostname="kavelune-test"), "127.0.0.1", 0)
    port = server.sockets[0].getsockname()[1]
    with open(arguments.port_file + ".part", "w") as f:
        f.write(str(port))
    os.rename(arguments.port_file + ".part", arguments.port_file)
    try:
        await asyncio.wait_for(done.wait(), arguments.seconds)
    except asyncio.TimeoutError:
        pass
    await asyncio.sleep(0.5)  # let the client's QUIT be answered
    server.close()
    if keeper.envelope is None:
        return 1
    write_results(arguments.out, keeper.envelope)
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--received-file", default="")
    parser.add_argument("--delay", type=float, default=0)
    parser.add_argument("--seconds", type=float, default=60)
    return asyncio.run(serve(parser.parse_args()))


if __name__ == "__main__":
    raise SystemExit(main())
