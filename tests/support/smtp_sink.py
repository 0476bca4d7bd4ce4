"""SMTP server for the tests, on 127.0.0.1 at a free port.

Prints its port on the first line of standard output, then stores each message it accepts as
OUT_DIR/<n>.json: envelope, decoded headers and every leaf part with its decoded bytes in hex.
Stops by itself after a while so that a crashed test leaves nothing running.

Options after OUT_DIR change how it answers:
  --refuse-rcpt ADDRESS  refuses that recipient with "550 5.1.1 <ADDRESS>: Recipient refused"
  --reject-data TEXT     answers the end of the message with TEXT (a full reply: "554 ...")
  --stall-data           takes the whole message, stores it, and never answers the final "."
  --drop-data            closes the connection when the message would begin (at DATA)
"""
import asyncio
import email
import json
import os
import sys
from email import policy

from aiosmtpd.smtp import SMTP

OUT_DIR = sys.argv[1]
LIFETIME_S = 300
OPTIONS = sys.argv[2:]


def option(name):
    if name in OPTIONS:
        i = OPTIONS.index(name)
        return OPTIONS[i + 1] if i + 1 < len(OPTIONS) else True
    return None


def header_lines(envelope):
    """The header lines of the message and of each of its parts, as sent."""
    lines = []
    in_headers = True
    for line in envelope.original_content.split(b"\r\n"):
        if line.startswith(b"--"):
            in_headers = True  # a boundary: the part's headers follow
        elif not line:
            in_headers = False
        elif in_headers:
            lines.append(line)
    return lines or [b""]


class Store:
    def __init__(self):
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if option("--refuse-rcpt") == address:
            return "550 5.1.1 <%s>: Recipient refused" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        msg = email.message_from_bytes(envelope.content, policy=policy.default)
        parts = []
        for part in msg.walk():
            if part.is_multipart():
                continue
            parts.append({
                "filename": part.get_filename(),
                "contentType": part.get_content_type(),
                "encoding": str(part.get("Content-Transfer-Encoding", "")),
                "hex": part.get_payload(decode=True).hex(),
            })
        record = {
            "mailFrom": envelope.mail_from,
            "rcptTos": envelope.rcpt_tos,
            "headers": {k: str(v) for k, v in msg.items()},
            "parts": parts,
            "longestHeaderLine": max(len(line) for line in header_lines(envelope)),
            "longestHeaderText": max(header_lines(envelope), key=len).decode("ascii", "replace"),
        }
        self.count += 1
        path = os.path.join(OUT_DIR, "%d.json" % self.count)
        with open(path + ".tmp", "w") as f:
            json.dump(record, f)
        os.rename(path + ".tmp", path)
        if option("--stall-data"):
            await asyncio.sleep(LIFETIME_S)
        rejection = option("--reject-data")
        if rejection:
            return rejection
        return "250 Message accepted"


class Server(SMTP):
    async def smtp_DATA(self, arg):
        if option("--drop-data"):
            self.transport.close()
            return
        return await super().smtp_DATA(arg)


async def main():
    store = Store()
    loop = asyncio.get_running_loop()
    server = await loop.create_server(lambda: Server(store), "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    try:
        await asyncio.wait_for(server.serve_forever(), LIFETIME_S)
    except asyncio.TimeoutError:
        pass


asyncio.run(main())
