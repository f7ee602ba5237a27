// Reads a JSON array of statement texts on standard input and writes a JSON array of the ones the
// T-SQL grammar refuses: {index, error}.
const { Parser } = require('node-sql-parser');

const statements = JSON.parse(require('fs').readFileSync(0, 'utf8'));
const parser = new Parser();
const refused = [];
statements.forEach((text, index) => {
  try {
    parser.astify(text, { database: 'transactsql' });
  } catch (e) {
    refused.push({ index, error: String(e.message) });
  }
});
process.stdout.write(JSON.stringify(refused));
