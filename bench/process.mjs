// What the benches read of a running process, and a free loopback port to run it on.
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createServer } from 'node:net';

const ticksPerSecond = Number(execFileSync('getconf', ['CLK_TCK']).toString().trim());

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

export const freePort = () =>
  new Promise((resolve) => {
    const probe = createServer();
    probe.listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });

// User and system CPU time so far, in clock ticks.
export const cpuTicks = (pid) => {
  const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
  const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
  return Number(fields[11]) + Number(fields[12]); // utime + stime
};

export const residentMiB = (pid) => {
  const line = readFileSync(`/proc/${pid}/status`, 'utf8').split('\n').find((l) => l.startsWith('VmRSS:'));
  return Number(line.split(/\s+/)[1]) / 1024;
};

// Resident KiB of each mapped file (and of [heap], [stack] and anonymous memory), from /proc/<pid>/smaps.
export const residentByMapping = (pid) => {
  const resident = new Map();
  let name = '';
  for (const line of readFileSync(`/proc/${pid}/smaps`, 'utf8').split('\n')) {
    const mapping = line.match(/^[0-9a-f]+-[0-9a-f]+ \S+ \S+ \S+ \S+\s*(.*)$/);
    if (mapping) name = mapping[1] || '[anonymous]';
    else if (line.startsWith('Rss:')) resident.set(name, (resident.get(name) ?? 0) + Number(line.split(/\s+/)[1]));
  }
  return resident;
};

// The share of one core the process used over the next `seconds`, in percent.
export const idleCpu = async (pid, seconds) => {
  const before = cpuTicks(pid);
  await sleep(seconds * 1000);
  return ((cpuTicks(pid) - before) / ticksPerSecond / seconds) * 100;
};
